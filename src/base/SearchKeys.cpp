#include "base/SearchKeys.h"

#include "base/Pinyin.h"

namespace {
void Append(QList<SearchKeys::Key>* keys, int kind, const QStringList& pinyin) {
    for (const QString& p : pinyin) {
        const bool known = std::any_of(keys->begin(), keys->end(), [&](const SearchKeys::Key& key) {
            return key.kind == kind && key.pinyin == p;
        });
        if (!known)
            keys->append({kind, p});
    }
}

// A text's keys, then those read from inside it.
void AppendText(QList<SearchKeys::Key>* keys, const QString& text, int initials, int full, int initialsInside,
                int fullInside) {
    const Pinyin::Keys of = Pinyin::Of(text);
    Append(keys, initials, of.initials);
    Append(keys, full, of.full);
    Append(keys, initialsInside, of.initialsInside);
    Append(keys, fullInside, of.fullInside);
}
} // namespace

QList<SearchKeys::Key> SearchKeys::OfFilm(const QString& title, const QString& actor) {
    QList<Key> keys;
    AppendText(&keys, title, TitleInitials, TitleFull, TitleInitialsInside, TitleFullInside);
    for (const QString& name : Pinyin::Names(actor))
        AppendText(&keys, name, ActorInitials, ActorFull, ActorInitialsInside, ActorFullInside);
    return keys;
}

QList<SearchKeys::Key> SearchKeys::OfClient(const QString& remark, const QString& phone) {
    QList<Key> keys;
    for (const QString& word : Pinyin::Names(remark))
        AppendText(&keys, word, RemarkInitials, RemarkFull, RemarkInitialsInside, RemarkFullInside);
    QString digits;
    for (const QChar c : phone) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    if (!digits.isEmpty())
        keys.append({PhoneDigits, digits});
    QStringList inside;
    for (int from = 1; from < digits.size(); ++from)
        inside << digits.mid(from);
    Append(&keys, PhoneInside, inside);
    return keys;
}

QString SearchKeys::Encoded(const QList<Key>& keys) {
    QStringList words;
    for (const Key& key : keys)
        words << QString::number(key.kind) + key.pinyin;
    return words.join(QLatin1Char(' '));
}

QByteArray SearchKeys::Values(qint64 owner, const QList<Key>& keys) {
    QByteArray values;
    const QByteArray id = QByteArray::number(owner);
    for (const Key& key : keys) {
        if (!values.isEmpty())
            values += ',';
        values += '(' + id + ',' + QByteArray::number(key.kind) + ",'" + key.pinyin.toLatin1() + "')";
    }
    return values;
}
