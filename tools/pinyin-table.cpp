// pinyin-table: writes the table of the Chinese characters' readings that the search keys are made
// from, as C++ source, from the Unicode Character Database's Unihan files.
//   pinyin-table Unihan_Readings.txt.bz2 Unihan_Variants.txt.bz2 OUT.cpp
// A character's readings, without tones and with ü written v as input methods type it:
//   kMandarin first (the common reading), then those of kXHC1983 (the modern dictionary's); only a
//   character the modern dictionary lacks takes kHanyuPinyin's, whose classical readings (大 tài,
//   行 héng) no clerk types (and which lacks many simplified forms: 长, 乐, 会). A traditional
//   character then adds the readings of its simplified form (kSimplifiedVariant): 長 reads as 长.
// Built and run by the build before the base library; needs only the standard library and libbz2.
#include <bzlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {
// The whole text of a .bz2 file; exits on failure.
std::string ReadBz2(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::fprintf(stderr, "pinyin-table: cannot open %s\n", path);
        std::exit(1);
    }
    int error = BZ_OK;
    BZFILE* bz = BZ2_bzReadOpen(&error, file, 0, 0, nullptr, 0);
    std::string text;
    char buffer[1 << 16];
    while (error == BZ_OK) {
        const int got = BZ2_bzRead(&error, bz, buffer, sizeof buffer);
        if (error == BZ_OK || error == BZ_STREAM_END)
            text.append(buffer, std::size_t(got));
    }
    BZ2_bzReadClose(&error, bz);
    std::fclose(file);
    if (text.empty()) {
        std::fprintf(stderr, "pinyin-table: %s could not be read\n", path);
        std::exit(1);
    }
    return text;
}

unsigned CodePoint(const std::string& field) { // "U+4E50"
    return unsigned(std::strtoul(field.c_str() + 2, nullptr, 16));
}

// One UTF-8 character of text at *i, advancing *i.
unsigned NextChar(const std::string& text, std::size_t* i) {
    const auto byte = [&](std::size_t k) { return unsigned(static_cast<unsigned char>(text[k])); };
    unsigned c = byte((*i)++);
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
    while (more-- > 0 && *i < text.size())
        c = (c << 6) | (byte((*i)++) & 0x3F);
    return c;
}

// A reading as typed: the tone marks dropped, ü as v; empty when it holds anything else.
std::string Toneless(const std::string& reading) {
    static const char* const kVowels[] = {"aāáǎà", "eēéěè",  "iīíǐì", "oōóǒò",
                                          "uūúǔù", "vǖǘǚǜü", "nńňǹ",  "mḿ"};
    std::string plain;
    for (std::size_t i = 0; i < reading.size();) {
        const unsigned c = NextChar(reading, &i);
        if (c < 0x80) {
            if (c >= 'a' && c <= 'z')
                plain += char(c);
            else if (c >= 'A' && c <= 'Z')
                plain += char(c - 'A' + 'a');
            continue;
        }
        if (c == 0x0300 || c == 0x0301 || c == 0x0304 || c == 0x030C) // a combining tone mark
            continue;
        char base = 0;
        for (const char* vowels : kVowels) {
            const std::string set(vowels);
            for (std::size_t k = 1; k < set.size() && !base;) {
                if (NextChar(set, &k) == c)
                    base = set[0];
            }
        }
        if (c == 0xEA || c == 0x1EBF || c == 0x1EC1) // ê, ế, ề
            base = 'e';
        if (!base)
            return {};
        plain += base;
    }
    return plain;
}

void Add(std::vector<std::string>* readings, const std::string& reading) {
    const std::string plain = Toneless(reading);
    if (!plain.empty() && std::find(readings->begin(), readings->end(), plain) == readings->end())
        readings->push_back(plain);
}

struct Sources {
    std::vector<std::string> mandarin, modern, classical;
};

std::vector<std::string> Words(const std::string& value, const char* separators) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : value + separators[0]) {
        if (std::strchr(separators, c)) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

// kXHC1983 "0121.040:cháng 1456.020:zhǎng"; kHanyuPinyin "10056.100:qián,gān"; kMandarin "qián gān".
std::vector<std::string> ValuesOf(const std::string& value) {
    std::vector<std::string> readings;
    for (const std::string& entry : Words(value, " ")) {
        const std::size_t colon = entry.find(':');
        for (const std::string& r : Words(colon == std::string::npos ? entry : entry.substr(colon + 1), ","))
            readings.push_back(r);
    }
    return readings;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: pinyin-table Unihan_Readings.txt.bz2 Unihan_Variants.txt.bz2 OUT.cpp\n");
        return 2;
    }
    std::map<unsigned, Sources> sources;
    std::istringstream readings(ReadBz2(argv[1]));
    for (std::string line; std::getline(readings, line);) {
        const std::vector<std::string> fields = Words(line, "\t");
        if (fields.size() < 3 || fields[0].rfind("U+", 0) != 0)
            continue;
        Sources& s = sources[CodePoint(fields[0])];
        std::vector<std::string>* target = fields[1] == "kMandarin"      ? &s.mandarin
                                           : fields[1] == "kXHC1983"     ? &s.modern
                                           : fields[1] == "kHanyuPinyin" ? &s.classical
                                                                         : nullptr;
        if (target)
            *target = ValuesOf(fields[2]);
    }
    std::map<unsigned, std::vector<std::string>> table;
    for (const auto& [cp, s] : sources) {
        std::vector<std::string>& r = table[cp];
        for (const std::string& reading : s.mandarin)
            Add(&r, reading);
        for (const std::string& reading : s.modern.empty() ? s.classical : s.modern)
            Add(&r, reading);
        if (r.empty())
            table.erase(cp);
    }
    // A traditional character reads as its simplified form besides its own readings.
    std::istringstream variants(ReadBz2(argv[2]));
    std::map<unsigned, std::vector<std::string>> simplifiedReadings;
    for (std::string line; std::getline(variants, line);) {
        const std::vector<std::string> fields = Words(line, "\t");
        if (fields.size() < 3 || fields[1] != "kSimplifiedVariant")
            continue;
        const unsigned cp = CodePoint(fields[0]);
        for (const std::string& target : Words(fields[2], " ")) {
            const auto found = table.find(CodePoint(target));
            if (found != table.end() && CodePoint(target) != cp)
                for (const std::string& reading : found->second)
                    simplifiedReadings[cp].push_back(reading);
        }
    }
    for (const auto& [cp, extra] : simplifiedReadings)
        for (const std::string& reading : extra)
            Add(&table[cp], reading);

    // The syllables, each once, in order; each character's readings as indexes into them.
    std::vector<std::string> syllables;
    for (const auto& [cp, r] : table)
        for (const std::string& reading : r)
            syllables.push_back(reading);
    std::sort(syllables.begin(), syllables.end());
    syllables.erase(std::unique(syllables.begin(), syllables.end()), syllables.end());
    const auto indexOf = [&](const std::string& s) {
        return std::lower_bound(syllables.begin(), syllables.end(), s) - syllables.begin();
    };

    std::ofstream out(argv[3]);
    out << "// Written by tools/pinyin-table from the Unicode Character Database's Unihan files: do not "
           "edit.\n"
           "#include \"base/PinyinTable.h\"\n\n"
           "namespace PinyinTable {\n"
           "const char* const kSyllables[] = {";
    for (std::size_t i = 0; i < syllables.size(); ++i)
        out << (i % 12 ? " " : "\n    ") << '"' << syllables[i] << "\",";
    out << "\n};\nconst int kSyllableCount = " << syllables.size() << ";\n\n";
    out << "// Each character and its readings: the first index into kReadings times 32, plus the count.\n"
           "const Entry kEntries[] = {";
    std::size_t next = 0, i = 0;
    for (const auto& [cp, r] : table) {
        out << (i++ % 6 ? " " : "\n    ") << "{0x" << std::hex << cp << std::dec << ", "
            << (next * 32 + std::min<std::size_t>(r.size(), 31)) << "},";
        next += r.size();
    }
    out << "\n};\nconst int kEntryCount = " << table.size() << ";\n\n"
        << "const unsigned short kReadings[] = {";
    i = 0;
    for (const auto& [cp, r] : table)
        for (const std::string& reading : r)
            out << (i++ % 16 ? " " : "\n    ") << indexOf(reading) << ",";
    out << "\n};\n} // namespace PinyinTable\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "pinyin-table: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
