#pragma once
// Search keys in pinyin, as a clerk types a title at the counter: "cjqh" or "changjiangqihao" for
// 《长江七号》. Each Chinese character stands for its readings without tones (ü as v); Latin
// letters and digits stand for themselves, lowercase (full-width and accented ones too); anything
// else (punctuation, spaces, kana) is left out.
#include <QString>
#include <QStringList>

namespace Pinyin {
// A character with several readings gives every one, so "cjqh" and "zjqh" both key 长江七号. The
// combinations of one text are held to kMaxCombinations: the characters, from the first on, each
// bring all their readings while the count stays within it, and their common reading alone once
// it would not; so the readings at a title's start, where a clerk begins to type, are all kept.
inline constexpr int kMaxCombinations = 16;

// The readings of one character, the common one first; none for a character without a reading.
QStringList Readings(char32_t character);

struct Keys {
    QStringList initials; // "cjqh", "zjqh": the first letter of each reading, each run of Latin
                          // letters and digits whole
    QStringList full;     // "changjiangqihao", "zhangjiangqihao"
    // The same read from the second character (or Latin run) on, from the third, and so on: "jqh",
    // "qh", "h"; "jiangqihao", "qihao", "hao". A text typed from inside a title is one of their
    // prefixes.
    QStringList initialsInside;
    QStringList fullInside;
};
// The keys of a text, each once, the common reading's first; none for a text with no letter,
// digit or read character.
Keys Of(const QString& text);

// The names of a field that lists several (actors: "刘德华 梁朝伟", "刘德华/梁朝伟", "刘德华、梁朝伟").
QStringList Names(const QString& field);

// What a typed search text stands for against the keys: its Latin letters and digits, lowercase;
// empty when it holds a Chinese character (such a text is matched against the titles themselves)
// or nothing to match.
QString SearchText(const QString& typed);
// Whether the text holds a character with a reading.
bool HoldsChinese(const QString& text);
} // namespace Pinyin
