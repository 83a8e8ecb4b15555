#pragma once
// Text limits count bytes of the GBK code page, in which a Chinese character takes two.
#include <QString>

namespace Gbk {
// Bytes the text takes in GBK, or -1 when some character has no GBK form.
int ByteLength(const QString& text);
// The first character GBK cannot encode, or an empty text when all can be encoded.
QString FirstUnencodable(const QString& text);
} // namespace Gbk
