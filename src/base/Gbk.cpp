#include "base/Gbk.h"

#include <cerrno>
#include <iconv.h>

namespace {
// Bytes one character (given as UTF-8) takes in GBK, or -1.
int EncodedLength(const QByteArray& utf8) {
    static thread_local iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return utf8.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char out[16];
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* outPtr = out;
    size_t outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == size_t(-1))
        return -1;
    return int(sizeof out - outLeft);
}

// Bytes the whole text takes in GBK in one conversion, or -1 when some character has none.
int WholeLength(const QString& text) {
    static thread_local iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return -1;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray utf8 = text.toUtf8();
    char out[512];
    char* in = utf8.data();
    size_t inLeft = size_t(utf8.size());
    int total = 0;
    while (inLeft > 0) {
        char* outPtr = out;
        size_t outLeft = sizeof out;
        const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        total += int(sizeof out - outLeft);
        if (done == size_t(-1) && errno != E2BIG)
            return -1;
    }
    return total;
}

template <typename Visit> bool ForEachCharacter(const QString& text, Visit visit) {
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, width);
        const int bytes = ch.at(0).unicode() < 0x80 ? 1 : EncodedLength(ch.toUtf8());
        if (!visit(ch, bytes))
            return false;
        i += width;
    }
    return true;
}
} // namespace

int Gbk::ByteLength(const QString& text) {
    // The whole text at once, as the import checks thousands of rows; a character by itself only
    // when the text holds one GBK lacks.
    if (const int whole = WholeLength(text); whole >= 0)
        return whole;
    int total = 0;
    const bool ok = ForEachCharacter(text, [&](const QString&, int bytes) {
        total += bytes;
        return bytes >= 0;
    });
    return ok ? total : -1;
}

QString Gbk::FirstUnencodable(const QString& text) {
    QString found;
    ForEachCharacter(text, [&](const QString& ch, int bytes) {
        if (bytes < 0)
            found = ch;
        return bytes >= 0;
    });
    return found;
}

int Gbk::EncodableBytes(const QString& text) {
    int total = 0;
    ForEachCharacter(text, [&](const QString&, int bytes) {
        total += qMax(bytes, 0);
        return true;
    });
    return total;
}

QString Gbk::KeepWithin(const QString& text, int maxBytes) {
    QString kept;
    int used = 0;
    ForEachCharacter(text, [&](const QString& ch, int bytes) {
        if (bytes < 0 || used + bytes <= maxBytes) {
            used += qMax(bytes, 0);
            kept += ch;
        }
        return true;
    });
    return kept;
}
