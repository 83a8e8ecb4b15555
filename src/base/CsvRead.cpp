#include "base/CsvRead.h"

#include <QStringDecoder>
#include <iconv.h>

namespace {
// GBK as the spreadsheets write it; GB18030 is its superset, so a byte the older tables lack is
// still read rather than refused.
QString FromGbk(const QByteArray& bytes, QString* error) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        *error = QStringLiteral("本机无法转换 GBK 编码。");
        return QString();
    }
    QByteArray out(bytes.size() * 2 + 4, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    const bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1);
    iconv_close(cd);
    if (!ok) {
        *error = QStringLiteral("文件既不是 UTF-8 也不是 GBK 编码(第 %1 个字节起无法读取)。")
                     .arg(bytes.size() - qsizetype(inLeft) + 1);
        return QString();
    }
    out.truncate(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
}
} // namespace

QString CsvRead::Decode(const QByteArray& bytes, Encoding* encoding, QString* error) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *encoding = Encoding::Utf8WithBom;
        return QString::fromUtf8(bytes.mid(3));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        *encoding = Encoding::Utf8;
        return text;
    }
    *encoding = Encoding::Gbk;
    return FromGbk(bytes, error);
}

QString CsvRead::EncodingName(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf8WithBom:
        return QStringLiteral("UTF-8(带 BOM)");
    case Encoding::Gbk:
        return QStringLiteral("GBK");
    }
    return QString();
}

QChar CsvRead::GuessSeparator(const QString& text) {
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted)
            comma += c == QLatin1Char(','), semicolon += c == QLatin1Char(';'), tab += c == QLatin1Char('\t');
    }
    if (tab > comma && tab >= semicolon)
        return QLatin1Char('\t');
    return semicolon > comma ? QLatin1Char(';') : QLatin1Char(',');
}

QList<CsvRead::Row> CsvRead::Split(const QString& text, QChar separator) {
    QList<Row> rows;
    Row row{1, {}};
    QString field;
    bool quoted = false;
    bool any = false; // the row holds a character, or a separator
    int line = 1;
    const auto endRow = [&] {
        if (any || !field.isEmpty()) {
            row.fields << field;
            rows << row;
        }
        row = Row{line, {}};
        field.clear();
        any = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += c, ++i;
            else if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                continue; // a line break inside a field is kept as the forms write it, LF alone
            else
                field += c, line += c == QLatin1Char('\n');
        } else if (c == QLatin1Char('"')) {
            quoted = any = true;
        } else if (c == separator) {
            row.fields << field;
            field.clear();
            any = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++line;
            endRow();
        } else {
            field += c;
            any = true;
        }
    }
    endRow();
    return rows;
}

CsvRead::Table CsvRead::Parse(const QByteArray& bytes) {
    Table table;
    const QString text = Decode(bytes, &table.encoding, &table.error);
    if (!table.error.isEmpty())
        return table;
    table.separator = GuessSeparator(text);
    table.rows = Split(text, table.separator);
    // A row of separators alone is as empty as an empty line.
    table.rows.removeIf([](const Row& row) {
        for (const QString& field : row.fields) {
            if (!field.trimmed().isEmpty())
                return false;
        }
        return true;
    });
    if (!table.rows.isEmpty())
        table.headings = table.rows.takeFirst().fields;
    return table;
}
