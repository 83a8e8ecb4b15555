#pragma once
// Reading a CSV file as spreadsheets write it: UTF-8 with or without a byte-order mark, or GBK (the
// code page Chinese spreadsheets save in as often), fields separated by commas, semicolons or tabs,
// quoted as RFC 4180 says (a quoted field may hold separators, doubled quotes and line breaks).
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace CsvRead {
enum class Encoding { Utf8, Utf8WithBom, Gbk };

struct Row {
    int line = 0; // the file's line the row begins on, from 1
    QStringList fields;
};

struct Table {
    Encoding encoding = Encoding::Utf8;
    QChar separator = QLatin1Char(',');
    QStringList headings; // the first row that holds anything
    QList<Row> rows;      // the rows after it; lines with nothing in them are left out
    // Empty when the bytes were read as the encoding says; else what went wrong.
    QString error;
};

// The text of the bytes: UTF-8 after a byte-order mark, or when they are valid UTF-8; otherwise GBK.
QString Decode(const QByteArray& bytes, Encoding* encoding, QString* error);
// The encoding as the import names it to the user: "UTF-8", "UTF-8(带 BOM)", "GBK".
QString EncodingName(Encoding encoding);
// The separator the first line uses most outside quotes: comma, semicolon or tab (comma when none).
QChar GuessSeparator(const QString& text);
// The rows of the text, quotes removed; each with the line it begins on.
QList<Row> Split(const QString& text, QChar separator);
// Decode, GuessSeparator and Split together.
Table Parse(const QByteArray& bytes);
} // namespace CsvRead
