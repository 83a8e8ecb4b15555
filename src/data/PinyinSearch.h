#pragma once
// Finding films and clients by their pinyin keys (src/base/SearchKeys.h) for the pickers and the
// quick finds: a text of Latin letters and digits matches the codes and the keys; a text with a
// Chinese character is left to the titles' own search. Prefix matches of the title's initials come
// first, then the codes that begin with the text, the title in full, the actors (or, for a client,
// the code, the phone's digits, the remark), and last the keys and codes that hold it anywhere.
#include <QString>

namespace PinyinSearch {
// Whether a typed text is looked up by the keys: Latin letters, digits and blanks only.
bool ByKeys(const QString& typed);
// A subquery of (Hit, Rank): the ID of each film (client) the text finds, and its best rank, 0
// first. Only for a text ByKeys takes.
QString FilmHits(const QString& typed);
QString ClientHits(const QString& typed);
} // namespace PinyinSearch
