#include "data/CAdoDb.h"

#include "data/SqlText.h"
#include "toolkit/Prompter.h"

#include <QFile>
#include <QFileInfo>
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

thread_local CTransaction* t_scope = nullptr;

std::function<void(const QString&)>& StatementObserver() {
    static std::function<void(const QString&)> observer;
    return observer;
}

QString EngineText(sqlite3* db) {
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
}

bool Run(sqlite3* db, const char* sql, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

// The raw key of a file, derived once per process for each salt: an open then costs no derivation.
QByteArray RawKeyPragma(const QByteArray& password, const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray salt = f.read(kSaltBytes);
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
    return "PRAGMA key = '" + Sql::Text(QString::fromUtf8(password)).toUtf8() + "';";
}

sqlite3* OpenKeyed(const ConnectionSettings& settings, QString* error, bool cachedKey) {
    sqlite3* db = nullptr;
    const QByteArray path = settings.dataSource.toUtf8();
    // No create flag: a missing file is reported, never made empty.
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        *error = EngineText(db);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (!settings.password.isEmpty()) {
        QByteArray pragma = cachedKey ? RawKeyPragma(settings.password, settings.dataSource) : QByteArray();
        if (pragma.isEmpty())
            pragma = PassphrasePragma(settings.password);
        if (!Run(db, pragma.constData(), error)) {
            sqlite3_close(db);
            return nullptr;
        }
    }
    return db;
}

// One idle connection to the file in use, held for the rest of the run. Without it every
// operation's connection is the last one to close, and the engine then checkpoints and removes
// the write-ahead log, only to rebuild it at the next open: most of the cost of an operation.
// It holds no transaction and no lock.
class WalKeeper {
public:
    ~WalKeeper() { sqlite3_close(m_db); }
    void Hold(const ConnectionSettings& settings) {
        const QString file = QFileInfo(settings.dataSource).absoluteFilePath();
        if (m_db && file == m_file)
            return;
        sqlite3_close(m_db); // another shop file: let the old one go
        m_db = nullptr;
        m_file = file;
        QString ignored;
        m_db = OpenKeyed(settings, &ignored, true);
        if (m_db && !Run(m_db, "SELECT count(*) FROM sqlite_master", nullptr)) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }

private:
    sqlite3* m_db = nullptr;
    QString m_file;
};

sqlite3* Open(const ConnectionSettings& settings, QString* error, bool cachedKey) {
    sqlite3* db = OpenKeyed(settings, error, cachedKey);
    if (db) {
        static WalKeeper keeper;
        keeper.Hold(settings);
    }
    return db;
}
} // namespace

ConnectionSettings ParseConnectionString(const QString& connectionString) {
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

sqlite3* OpenDatabase(const ConnectionSettings& settings, QString* error) {
    return Open(settings, error, true);
}

sqlite3* OpenDatabaseWithPassphrase(const ConnectionSettings& settings, QString* error) {
    return Open(settings, error, false);
}

// ---- CRecordset

QString CRecordset::GetText(const char* column) const {
    // Column names compare without regard to letter case, as the engine's own do.
    const QLatin1String name(column);
    for (qsizetype i = 0; !m_eof && i < m_names.size(); ++i) {
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return m_values.at(i);
    }
    return {};
}

int CRecordset::GetInt(const char* column) const {
    return Sql::ToInt(GetText(column));
}

float CRecordset::GetReal(const char* column) const {
    return Sql::ToReal(GetText(column));
}

// ---- CAdoDb

CAdoDb::CAdoDb(QString connectionString) : m_connectionString(std::move(connectionString)) {}

CAdoDb::~CAdoDb() {
    Close();
}

void CAdoDb::SetStatementObserver(std::function<void(const QString&)> observer) {
    StatementObserver() = std::move(observer);
}

void CAdoDb::Fail(const QString& engineText) {
    if (m_borrowed && t_scope)
        t_scope->RecordFailure(engineText);
    else
        ReportDatabaseError(engineText);
}

void CAdoDb::Connect() {
    if (m_connection || m_connectFailed)
        return;
    if (t_scope) {
        m_borrowed = true;
        m_connection = t_scope->Connection(m_connectionString);
        m_connectFailed = !m_connection; // the scope has recorded why
        return;
    }
    QString error;
    m_connection = OpenDatabase(ParseConnectionString(m_connectionString), &error);
    if (!m_connection) {
        // Reported once; the statements of this object then fail without a second box.
        m_connectFailed = true;
        ReportDatabaseError(error);
    }
}

bool CAdoDb::EnsureConnected() {
    Connect();
    return m_connection != nullptr;
}

const CRecordset& CAdoDb::Query(const QString& sql) {
    m_recordset = CRecordset();
    if (StatementObserver())
        StatementObserver()(sql);
    if (!EnsureConnected())
        return m_recordset;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(m_connection, text.constData(), int(text.size()), &stmt, nullptr);
    if (rc == SQLITE_OK && stmt)
        rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
        m_recordset.m_open = true;
        m_recordset.m_eof = rc == SQLITE_DONE;
        const int columns = sqlite3_column_count(stmt);
        for (int i = 0; rc == SQLITE_ROW && i < columns; ++i) {
            m_recordset.m_names << QString::fromUtf8(sqlite3_column_name(stmt, i));
            const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            m_recordset.m_values << QString::fromUtf8(value ? value : "");
        }
    } else {
        Fail(EngineText(m_connection));
    }
    // Only the first row is ever read: end the statement at once so that it holds no lock.
    sqlite3_finalize(stmt);
    return m_recordset;
}

bool CAdoDb::Execute(const QString& sql) {
    if (StatementObserver())
        StatementObserver()(sql);
    if (!EnsureConnected())
        return false;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v2(m_connection, text.constData(), int(text.size()), &stmt, nullptr);
    if (rc == SQLITE_OK && stmt) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
    }
    const bool ok = rc == SQLITE_DONE || (rc == SQLITE_OK && !stmt);
    if (!ok)
        Fail(EngineText(m_connection));
    sqlite3_finalize(stmt);
    return ok;
}

void CAdoDb::Close() {
    if (m_connection && !m_borrowed)
        sqlite3_close(m_connection);
    m_connection = nullptr;
    m_borrowed = false;
}

// ---- CTransaction

CTransaction::CTransaction() : m_outer(t_scope) {
    if (!m_outer)
        t_scope = this;
}

CTransaction::~CTransaction() {
    if (!m_outer)
        Finish(false);
}

sqlite3* CTransaction::Connection(const QString& connectionString) {
    if (m_failed)
        return nullptr; // a failed transaction runs nothing more
    if (!m_connection) {
        QString error;
        m_connection = OpenDatabase(ParseConnectionString(connectionString), &error);
        // Take the write lock at once, so that no other writer slips in between our statements.
        if (m_connection && !Run(m_connection, "BEGIN IMMEDIATE", &error)) {
            sqlite3_close(m_connection);
            m_connection = nullptr;
        }
        if (!m_connection)
            RecordFailure(error);
    }
    return m_connection;
}

void CTransaction::RecordFailure(const QString& engineText) {
    if (!m_failed || m_error.isEmpty())
        m_error = engineText;
    m_failed = true;
}

bool CTransaction::Commit() {
    if (m_outer)
        return !m_failed && !m_outer->m_failed;
    if (m_done)
        return !m_failed;
    Finish(true);
    return !m_failed;
}

void CTransaction::Finish(bool commit) {
    if (m_done)
        return;
    m_done = true;
    t_scope = nullptr;
    if (m_connection) {
        QString error;
        if (commit && !m_failed && !Run(m_connection, "COMMIT", &error))
            RecordFailure(error);
        if (!commit || m_failed)
            Run(m_connection, "ROLLBACK", nullptr);
        sqlite3_close(m_connection);
        m_connection = nullptr;
    }
    if (m_failed)
        ReportDatabaseError(m_error);
}
