#pragma once
// Operator passwords are stored as salted, slow hashes in one self-describing text:
//   pbkdf2-sha256$<iterations>$<salt, base64>$<hash, base64>
// so that the count can be raised later and every stored value says how it was made.
#include <QByteArray>
#include <QString>

namespace PasswordHash {
// About 50 ms for one hash on a counter computer of today (bench_password measures it).
constexpr int kIterations = 220000;
constexpr int kSaltBytes = 16;

// A fresh hash of the password with a random salt.
QString Make(const QString& password);
// The hash with this salt and count (for tests and for checking a stored hash).
QString Make(const QString& password, const QByteArray& salt, int iterations);
// Whether the stored value is in the hash form; anything else is a password stored as typed.
bool IsHash(const QString& stored);
// Whether the typed password is the stored one, letter case and blanks counting. A hash is made
// again with its own salt and count; a value not in the hash form (an older row) is compared as
// typed. Either comparison takes the same time wherever the two first differ.
bool Matches(const QString& stored, const QString& typed);
} // namespace PasswordHash
