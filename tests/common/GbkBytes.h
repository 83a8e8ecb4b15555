#pragma once
// A text as a spreadsheet saved in GBK writes it: the bytes of the files the tests read.
#include <QByteArray>
#include <QString>

QByteArray GbkBytes(const QString& text);
