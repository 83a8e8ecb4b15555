#pragma once
// The readings of the Chinese characters, as the build writes them from the Unicode Character
// Database (tools/pinyin-table.cpp): the syllables without tones, and each character's readings,
// its common one first. Read through Pinyin.h.
namespace PinyinTable {
struct Entry {
    unsigned int codePoint;
    unsigned int readings; // the first index into kReadings times 32, plus the count
};
extern const char* const kSyllables[];
extern const int kSyllableCount;
extern const Entry kEntries[]; // in the order of the code points
extern const int kEntryCount;
extern const unsigned short kReadings[]; // indexes into kSyllables
} // namespace PinyinTable
