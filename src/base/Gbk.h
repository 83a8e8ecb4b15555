#pragma once
// Text limits count bytes of the GBK code page, in which a Chinese character takes two.
#include <QString>

namespace Gbk {
// Bytes the text takes in GBK, or -1 when some character has no GBK form.
int ByteLength(const QString& text);
// The first character GBK cannot encode, or an empty text when all can be encoded.
QString FirstUnencodable(const QString& text);
// Bytes the characters GBK can encode take, the others left out.
int EncodableBytes(const QString& text);
// The text with, from the first character on, each encodable character that no longer fits in
// maxBytes left out, whole; characters GBK cannot encode are kept, for a check to name them.
QString KeepWithin(const QString& text, int maxBytes);
} // namespace Gbk
