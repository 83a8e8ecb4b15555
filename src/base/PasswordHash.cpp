#include "base/PasswordHash.h"

#include <QStringList>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace {
const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kHashBytes = 32;
constexpr int kMaxIterations = 10000000; // a stored count beyond this is not ours

QByteArray Derive(const QString& password, const QByteArray& salt, int iterations) {
    const QByteArray utf8 = password.toUtf8();
    QByteArray out(kHashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(utf8.constData(), int(utf8.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()),
                          iterations, EVP_sha256(), kHashBytes,
                          reinterpret_cast<unsigned char*>(out.data())) != 1)
        return {};
    return out;
}

// Equal lengths are compared in constant time; a length is not a secret.
bool SameBytes(const QByteArray& a, const QByteArray& b) {
    return a.size() == b.size() && CRYPTO_memcmp(a.constData(), b.constData(), size_t(a.size())) == 0;
}

struct Parsed {
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

bool Parse(const QString& stored, Parsed* parsed) {
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    parsed->iterations = parts[1].toInt(&ok);
    const auto decode = [](const QString& text, QByteArray* bytes) {
        const auto result =
            QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        *bytes = result.decoded;
        return bool(result) && !bytes->isEmpty();
    };
    return ok && parsed->iterations > 0 && parsed->iterations <= kMaxIterations &&
           decode(parts[2], &parsed->salt) && decode(parts[3], &parsed->hash) &&
           parsed->hash.size() == kHashBytes;
}
} // namespace

QString PasswordHash::Make(const QString& password) {
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), kSaltBytes) != 1)
        return {}; // no randomness: nothing is stored rather than a weak hash
    return Make(password, salt, kIterations);
}

QString PasswordHash::Make(const QString& password, const QByteArray& salt, int iterations) {
    const QByteArray hash = Derive(password, salt, iterations);
    if (hash.isEmpty())
        return {};
    return kScheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$') +
           QString::fromLatin1(salt.toBase64()) + QLatin1Char('$') + QString::fromLatin1(hash.toBase64());
}

bool PasswordHash::IsHash(const QString& stored) {
    Parsed parsed;
    return Parse(stored, &parsed);
}

bool PasswordHash::Matches(const QString& stored, const QString& typed) {
    Parsed parsed;
    if (!Parse(stored, &parsed))
        return SameBytes(stored.toUtf8(), typed.toUtf8());
    const QByteArray hash = Derive(typed, parsed.salt, parsed.iterations);
    return !hash.isEmpty() && SameBytes(hash, parsed.hash);
}
