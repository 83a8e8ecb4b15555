#pragma once
// Finding films and clients by their pinyin keys (src/base/SearchKeys.h) for the pickers and the
// quick finds: a text of Latin letters and digits matches the codes and the keys; a text with a
// Chinese character (or any other sign) is left to the searches that take it as typed.
// The rows come in two parts, each in an order of its own. First those whose key or code begins
// with the text, ranked: the title's initials, then the code, the title in full, the actors (for a
// client: the remark's initials, the number, the phone's digits, the remark in full). Then those
// that hold the text further inside a key or the code. The second part is read only when the
// first leaves room on the screen: a prefix, the common case, reads nothing but index ranges; so
// does a text of letters inside a key. A text with a digit is also looked for inside the film
// codes; the few clients are also read whole, their number, phone and remark as written.
#include <QString>

namespace PinyinSearch {
// Whether a typed text is looked up by the keys: Latin letters, digits and blanks only.
bool ByKeys(const QString& typed);

// The whole statement for a text ByKeys takes. select: "SELECT … FROM Film" (or Client), with no
// condition; also: a condition every row must meet besides, or empty; order: the order within each
// part after the rank ("ID", "ID DESC").
QString Films(const QString& select, const QString& typed, const QString& also, const QString& order);
QString Clients(const QString& select, const QString& typed, const QString& also, const QString& order);
} // namespace PinyinSearch
