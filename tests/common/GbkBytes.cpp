#include "GbkBytes.h"

#include <iconv.h>

QByteArray GbkBytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open("GBK", "UTF-8");
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}
