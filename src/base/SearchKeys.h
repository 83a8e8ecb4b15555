#pragma once
// The pinyin search keys of a film (title and actor) and of a client (remark and phone digits), as
// the tables FilmKey and ClientKey hold them: one row per key, beside the row they stand for.
#include <QByteArrayList>
#include <QList>
#include <QString>

namespace SearchKeys {
// What a key is made from; a search ranks a prefix of the title's initials first. The kinds after
// kFilmStarts (kClientStarts) hold the keys read from inside: from a later character on.
enum FilmKind {
    TitleInitials = 1,
    TitleFull = 2,
    ActorInitials = 3,
    ActorFull = 4,
    TitleInitialsInside = 5,
    TitleFullInside = 6,
    ActorInitialsInside = 7,
    ActorFullInside = 8
};
inline constexpr int kFilmStarts = ActorFull;
// A client's remark is where shops write the name; the phone's digits are kept apart from any
// dashes and spaces.
enum ClientKind {
    RemarkInitials = 1,
    RemarkFull = 2,
    PhoneDigits = 3,
    RemarkInitialsInside = 4,
    RemarkFullInside = 5,
    PhoneInside = 6
};
inline constexpr int kClientStarts = PhoneDigits;

struct Key {
    int kind;
    QString pinyin; // lowercase Latin letters and digits only
};
// The keys of a film: its whole title; each actor of the field by name.
QList<Key> OfFilm(const QString& title, const QString& actor);
// The keys of a client: each word of the remark; the phone's digits.
QList<Key> OfClient(const QString& remark, const QString& phone);

// The keys in one text, as the file's upgrade splits them: "1cjqh 1zjqh 2changjiangqihao".
QString Encoded(const QList<Key>& keys);
// The rows of one owner's keys for a multi-row INSERT: "(7,1,'cjqh'),(7,2,'changjiangqihao')".
QByteArray Values(qint64 owner, const QList<Key>& keys);

// One row to key: its ID and its two texts (title and actor, or remark and phone).
struct Source {
    qint64 id;
    QString first;
    QString second;
};
} // namespace SearchKeys
