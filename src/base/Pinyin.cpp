#include "base/Pinyin.h"

#include "base/PinyinTable.h"

#include <algorithm>
#include <vector>

namespace {
// The index range of a character's readings in the table; an empty range when it has none.
std::pair<int, int> ReadingRange(char32_t character) {
    const PinyinTable::Entry* begin = PinyinTable::kEntries;
    const PinyinTable::Entry* end = begin + PinyinTable::kEntryCount;
    const auto* found = std::lower_bound(
        begin, end, character, [](const PinyinTable::Entry& e, char32_t c) { return e.codePoint < c; });
    if (found == end || found->codePoint != character)
        return {0, 0};
    const int first = int(found->readings / 32);
    return {first, first + int(found->readings % 32)};
}

bool IsLatin(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// A run of Latin letters and digits, whole; or a read character, its readings as options.
struct Piece {
    QStringList options;
    bool latin = false;
};

std::vector<Piece> Pieces(const QString& text) {
    std::vector<Piece> pieces;
    QString run;
    const auto endRun = [&] {
        if (!run.isEmpty())
            pieces.push_back({QStringList{run}, true});
        run.clear();
    };
    // Full-width and accented letters come apart into their plain letter and marks.
    const QList<uint> characters = text.normalized(QString::NormalizationForm_KD).toLower().toUcs4();
    for (const uint c : characters) {
        if (IsLatin(c)) {
            run += QChar(char16_t(c));
            continue;
        }
        if (QChar::category(c) == QChar::Mark_NonSpacing)
            continue; // an accent of the letter before it
        endRun();
        QStringList readings = Pinyin::Readings(c);
        if (!readings.isEmpty())
            pieces.push_back({readings, false});
    }
    endRun();
    return pieces;
}

// Every combination of one option of each piece, joined, within the cap; *inside gets what each
// combination reads from its second piece on, its third, and so on.
QStringList Combinations(const std::vector<QStringList>& pieces, QStringList* inside) {
    std::vector<int> counts;
    int product = 1;
    for (const QStringList& options : pieces) {
        const int n = int(options.size());
        counts.push_back(product * n <= Pinyin::kMaxCombinations ? n : 1);
        product *= counts.back();
    }
    QStringList keys;
    if (pieces.empty())
        return keys;
    std::vector<int> choice(pieces.size(), 0);
    for (;;) {
        QString key;
        for (std::size_t i = pieces.size(); i-- > 0;) {
            key.prepend(pieces[i].at(choice[i]));
            if (i > 0 && !inside->contains(key))
                *inside << key;
        }
        if (!keys.contains(key))
            keys << key;
        // The next combination, the last piece turning fastest.
        std::size_t i = pieces.size();
        while (i > 0 && ++choice[i - 1] == counts[i - 1])
            choice[--i] = 0;
        if (i == 0)
            return keys;
    }
}
} // namespace

QStringList Pinyin::Readings(char32_t character) {
    const auto [first, end] = ReadingRange(character);
    QStringList readings;
    for (int i = first; i < end; ++i)
        readings << QLatin1String(PinyinTable::kSyllables[PinyinTable::kReadings[i]]);
    return readings;
}

Pinyin::Keys Pinyin::Of(const QString& text) {
    std::vector<QStringList> initials, full;
    for (const Piece& piece : Pieces(text)) {
        full.push_back(piece.options);
        if (piece.latin) { // a Latin run stands whole
            initials.push_back(piece.options);
            continue;
        }
        QStringList firsts;
        for (const QString& reading : piece.options) {
            if (!firsts.contains(reading.left(1)))
                firsts << reading.left(1);
        }
        initials.push_back(firsts);
    }
    Keys keys;
    keys.initials = Combinations(initials, &keys.initialsInside);
    keys.full = Combinations(full, &keys.fullInside);
    return keys;
}

QStringList Pinyin::Names(const QString& field) {
    static const QString kSeparators = QStringLiteral("/、，,;；|&＆");
    QString spaced = field;
    for (QChar& c : spaced) {
        if (kSeparators.contains(c))
            c = QLatin1Char(' ');
    }
    return spaced.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString Pinyin::SearchText(const QString& typed) {
    if (HoldsChinese(typed))
        return {};
    QString plain;
    for (const Piece& piece : Pieces(typed))
        plain += piece.options.first();
    return plain;
}

bool Pinyin::HoldsChinese(const QString& text) {
    const QList<uint> characters = text.toUcs4();
    return std::any_of(characters.begin(), characters.end(), [](uint c) {
        const auto [first, end] = ReadingRange(c);
        return first != end;
    });
}
