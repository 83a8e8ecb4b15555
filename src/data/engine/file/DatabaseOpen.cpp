#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"

#include "data/engine/file/SchemaUpgrade.h"

#include <QHash>
#include <QMutex>
#include <openssl/evp.h>
#include <sqlite3.h>

namespace {
constexpr int kBusyTimeoutMs = 5000;
// SQLCipher 3's key derivation: PBKDF2-HMAC-SHA1 over the file's 16-byte salt.
constexpr int kKdfRounds = 64000;
constexpr int kKeyBytes = 32;
constexpr int kSaltBytes = 16;

// The file's salt, read through the engine's own handle: opening the file with a descriptor of
// our own and closing it would drop every lock the engine holds on it. Empty for a new, empty file.
QByteArray SaltOf(sqlite3* db) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return {};
    QByteArray salt(kSaltBytes, '\0');
    if (file->pMethods->xRead(file, salt.data(), kSaltBytes, 0) != SQLITE_OK)
        return {};
    return salt;
}

// The raw key of a file, derived once per process for each salt: an open then costs no derivation.
QByteArray RawKeyPragma(const QByteArray& password, const QByteArray& salt) {
    if (salt.size() != kSaltBytes)
        return {};
    static QMutex mutex;
    static QHash<QByteArray, QByteArray> cache;
    const QByteArray cacheKey = password + '\0' + salt;
    QMutexLocker lock(&mutex);
    auto it = cache.constFind(cacheKey);
    if (it != cache.constEnd())
        return *it;
    unsigned char key[kKeyBytes];
    if (PKCS5_PBKDF2_HMAC_SHA1(password.constData(), int(password.size()),
                               reinterpret_cast<const unsigned char*>(salt.constData()), kSaltBytes,
                               kKdfRounds, kKeyBytes, key) != 1)
        return {};
    const QByteArray pragma = "PRAGMA key = \"x'" +
                              QByteArray(reinterpret_cast<const char*>(key), kKeyBytes).toHex() +
                              salt.toHex() + "'\";";
    return *cache.insert(cacheKey, pragma);
}

QByteArray PassphrasePragma(const QByteArray& password) {
    // The passphrase as a quoted text: a quote in it is doubled.
    return "PRAGMA key = '" + QByteArray(password).replace('\'', "''") + "';";
}

// The tools' opens, outside the pool: as the file is, with the engine's text of a failure.
DatabaseHandle OpenAsItIs(const ConnectionSettings& settings, const OpenOptions& options, QString* error) {
    EngineError failure;
    DatabaseHandle db = DatabaseOpen::OpenKeyed(settings, options, &failure);
    if (!db)
        *error = failure.text;
    return db;
}
} // namespace

void SqliteCloser::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

ConnectionSettings DatabaseOpen::ParseConnectionString(const QString& connectionString) {
    ConnectionSettings settings;
    for (const QString& part : connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = part.left(eq).trimmed();
        const QString value = part.mid(eq + 1);
        if (name.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            settings.dataSource = value;
        else if (name.compare(QLatin1String("Database Password"), Qt::CaseInsensitive) == 0)
            settings.password = value.toUtf8();
    }
    return settings;
}

DatabaseHandle DatabaseOpen::OpenKeyed(const ConnectionSettings& settings, const OpenOptions& options,
                                       EngineError* error) {
    sqlite3* opened = nullptr;
    const QByteArray path = settings.dataSource.toUtf8();
    const int flags = options.readOnly ? SQLITE_OPEN_READONLY
                                       : SQLITE_OPEN_READWRITE | (options.create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.constData(), &opened, flags, nullptr);
    DatabaseHandle db(opened); // the engine hands out a handle even when the open fails
    if (rc != SQLITE_OK) {
        *error = FileError::Last(db.get());
        return nullptr;
    }
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    if (!settings.password.isEmpty()) {
        QByteArray pragma =
            options.cachedKey ? RawKeyPragma(settings.password, SaltOf(db.get())) : QByteArray();
        if (pragma.isEmpty())
            pragma = PassphrasePragma(settings.password);
        if (!FileError::Run(db.get(), pragma.constData(), error))
            return nullptr;
    }
    // An existing file is brought to this program's schema, or refused when it is newer; this is
    // also where a wrong key or a foreign file shows, at the first read.
    if (options.upToDate && !SchemaUpgrade::BringUpToDate(db.get(), error))
        return nullptr;
    return db;
}

DatabaseHandle DatabaseOpen::OpenDatabase(const ConnectionSettings& settings, QString* error) {
    return OpenAsItIs(settings, {}, error);
}

DatabaseHandle DatabaseOpen::OpenDatabaseDescribed(const ConnectionSettings& settings, QString* failure) {
    OpenOptions options;
    options.upToDate = true;
    EngineError error;
    DatabaseHandle db = DatabaseOpen::OpenKeyed(settings, options, &error);
    if (!db)
        *failure = EngineError::Describe(error);
    return db;
}

DatabaseHandle DatabaseOpen::OpenDatabaseReadOnly(const ConnectionSettings& settings, QString* error) {
    OpenOptions options;
    options.readOnly = true;
    return OpenAsItIs(settings, options, error);
}

DatabaseHandle DatabaseOpen::OpenDatabaseWithPassphrase(const ConnectionSettings& settings, QString* error) {
    OpenOptions options;
    options.cachedKey = false;
    return OpenAsItIs(settings, options, error);
}

DatabaseHandle DatabaseOpen::CreateDatabase(const ConnectionSettings& settings, QString* error) {
    OpenOptions options;
    options.create = true;
    options.cachedKey = false;
    return OpenAsItIs(settings, options, error);
}
