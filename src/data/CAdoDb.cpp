#include "data/CAdoDb.h"

#include "base/Prompter.h"
#include "data/ShopDatabase.h"
#include "data/SqlText.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <openssl/evp.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <vector>

namespace {
constexpr int kBusyTimeoutMs = 5000;
// SQLCipher 3's key derivation: PBKDF2-HMAC-SHA1 over the file's 16-byte salt.
constexpr int kKdfRounds = 64000;
constexpr int kKeyBytes = 32;
constexpr int kSaltBytes = 16;
// Idle connections kept per thread; more than the desk ever holds at once.
constexpr size_t kPoolSize = 4;

thread_local CTransaction* t_scope = nullptr;

std::function<void(const QString&)>& StatementObserver() {
    static std::function<void(const QString&)> observer;
    return observer;
}

struct EngineError {
    int code = SQLITE_NOMEM;
    QString text = QStringLiteral("out of memory");
};

EngineError ErrorOf(sqlite3* db) {
    if (!db)
        return {};
    return {sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
}

QString Describe(const EngineError& error) {
    return DescribeEngineError(error.code, error.text);
}

bool Run(sqlite3* db, const char* sql, EngineError* error) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    if (error)
        *error = ErrorOf(db);
    return false;
}

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
    return "PRAGMA key = '" + Sql::Text(QString::fromUtf8(password)).toUtf8() + "';";
}

// flags are sqlite3_open_v2's; a new file has no salt yet and is always keyed with the passphrase.
// upToDate: the program's own connections to the shop bring it to this program's schema; the
// tools' opens (a backup's check, the restore's lock) read or change nothing of the file.
DatabaseHandle OpenKeyed(const ConnectionSettings& settings, int flags, bool cachedKey, EngineError* error,
                         bool upToDate = false) {
    sqlite3* opened = nullptr;
    const QByteArray path = settings.dataSource.toUtf8();
    const int rc = sqlite3_open_v2(path.constData(), &opened, flags, nullptr);
    DatabaseHandle db(opened); // the engine hands out a handle even when the open fails
    if (rc != SQLITE_OK) {
        *error = ErrorOf(db.get());
        return nullptr;
    }
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    if (!settings.password.isEmpty()) {
        QByteArray pragma = cachedKey ? RawKeyPragma(settings.password, SaltOf(db.get())) : QByteArray();
        if (pragma.isEmpty())
            pragma = PassphrasePragma(settings.password);
        if (!Run(db.get(), pragma.constData(), error))
            return nullptr;
    }
    // An existing file is brought to this program's schema, or refused when it is newer; this is
    // also where a wrong key or a foreign file shows, at the first read.
    if (upToDate && !ShopDatabase::BringUpToDate(db.get(), &error->code, &error->text))
        return nullptr;
    return db;
}

// Idle connections of this thread, the most recently used last. Without them every operation's
// connection would be the last to close; the engine then checkpoints and removes the write-ahead
// log, only to rebuild it and read the schema again at the next open. An idle connection holds
// no statement, no transaction and no lock.
class ConnectionPool {
public:
    DatabaseHandle Take(const QString& connectionString, EngineError* error) {
        struct stat info {};
        const bool present = Identify(connectionString, &info);
        for (auto it = m_idle.end(); it != m_idle.begin();) {
            --it;
            if (it->connectionString != connectionString)
                continue;
            // A file deleted or put in place of the old one since: its connections are stale.
            if (!present || it->device != info.st_dev || it->inode != info.st_ino) {
                it = m_idle.erase(it);
                continue;
            }
            DatabaseHandle db = std::move(it->db);
            m_idle.erase(it);
            return db;
        }
        // No create flag: a missing file is reported, never made empty.
        return OpenKeyed(ParseConnectionString(connectionString), SQLITE_OPEN_READWRITE, true, error, true);
    }

    // A connection that failed, or still holds a statement or a transaction, is closed instead.
    void Give(DatabaseHandle db, const QString& connectionString, bool sound) {
        struct stat info {};
        if (!sound || !sqlite3_get_autocommit(db.get()) || sqlite3_next_stmt(db.get(), nullptr) ||
            !Identify(connectionString, &info))
            return;
        m_idle.push_back({connectionString, std::move(db), info.st_dev, info.st_ino});
        if (m_idle.size() > kPoolSize)
            m_idle.erase(m_idle.begin());
    }

private:
    // Which file the connection string names now (stat only: no descriptor is opened).
    static bool Identify(const QString& connectionString, struct stat* info) {
        const QByteArray path = QFile::encodeName(ParseConnectionString(connectionString).dataSource);
        return ::stat(path.constData(), info) == 0;
    }

    struct Idle {
        QString connectionString;
        DatabaseHandle db;
        dev_t device;
        ino_t inode;
    };
    std::vector<Idle> m_idle;
};

ConnectionPool& Pool() {
    thread_local ConnectionPool pool;
    return pool;
}
} // namespace

void SqliteCloser::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

QString DescribeEngineError(int extendedCode, const QString& engineText) {
    QString what;
    switch (extendedCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        what = QStringLiteral("数据库正被另一台电脑或另一个程序使用,这次操作没有完成。请稍等片刻再试一次。");
        break;
    case SQLITE_READONLY:
        what = QStringLiteral(
            "数据库文件只能读取,不能写入,这次修改没有保存。请检查 cddata.mdb 及其文件夹的写入权限。");
        break;
    case SQLITE_FULL:
        what = QStringLiteral("磁盘已满,这次修改没有保存。请腾出磁盘空间后再试。");
        break;
    case SQLITE_CANTOPEN:
        what = QStringLiteral("无法打开数据库文件。请确认 cddata.mdb 在程序所在的文件夹中,并且可以读写。");
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        what = QStringLiteral("数据库文件已损坏,或者不是本店的数据库。请停止使用,并用最近的备份恢复。");
        break;
    case SQLITE_IOERR:
        what = QStringLiteral("读写数据库文件时出错,这次操作没有完成。请检查磁盘,必要时用最近的备份恢复。");
        break;
    case SQLITE_CONSTRAINT:
        if (engineText.contains(QLatin1String("Record.FilmID")))
            what = QStringLiteral("这部影片已经借出,还没有归还,不能再借出一次。");
        break;
    default:
        break;
    }
    if (what.isEmpty())
        return engineText;
    return what + QStringLiteral("\n\n") + engineText;
}

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

static DatabaseHandle OpenOutsideThePool(const ConnectionSettings& settings, int flags, bool cachedKey,
                                         QString* error) {
    EngineError failure;
    DatabaseHandle db = OpenKeyed(settings, flags, cachedKey, &failure);
    if (!db)
        *error = failure.text;
    return db;
}

DatabaseHandle OpenDatabase(const ConnectionSettings& settings, QString* error) {
    return OpenOutsideThePool(settings, SQLITE_OPEN_READWRITE, true, error);
}

DatabaseHandle OpenDatabaseDescribed(const ConnectionSettings& settings, QString* failure) {
    EngineError error;
    DatabaseHandle db = OpenKeyed(settings, SQLITE_OPEN_READWRITE, true, &error, true);
    if (!db)
        *failure = Describe(error);
    return db;
}

DatabaseHandle OpenDatabaseWithPassphrase(const ConnectionSettings& settings, QString* error) {
    return OpenOutsideThePool(settings, SQLITE_OPEN_READWRITE, false, error);
}

DatabaseHandle CreateDatabase(const ConnectionSettings& settings, QString* error) {
    return OpenOutsideThePool(settings, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, false, error);
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

void CAdoDb::Fail(const QString& message) {
    m_errored = true;
    if (!m_own && t_scope)
        t_scope->RecordFailure(message);
    else
        ReportDatabaseError(message);
}

void CAdoDb::Connect() {
    if (m_connection || m_connectFailed)
        return;
    if (t_scope) {
        m_connection = t_scope->Connection(m_connectionString);
        m_connectFailed = !m_connection; // the scope has recorded why
        return;
    }
    EngineError error;
    m_own = Pool().Take(m_connectionString, &error);
    m_connection = m_own.get();
    if (!m_connection) {
        // Reported once; the statements of this object then fail without a second box.
        m_connectFailed = true;
        ReportDatabaseError(Describe(error));
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
        Fail(Describe(ErrorOf(m_connection)));
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
        Fail(Describe(ErrorOf(m_connection)));
    sqlite3_finalize(stmt);
    return ok;
}

void CAdoDb::Close() {
    if (m_own)
        Pool().Give(std::move(m_own), m_connectionString, !m_errored);
    m_connection = nullptr;
    m_errored = false;
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
        EngineError error;
        m_connection = Pool().Take(connectionString, &error);
        // Take the write lock at once, so that no other writer slips in between our statements
        // and every read of the scope sees what it will write back over.
        if (m_connection && !Run(m_connection.get(), "BEGIN IMMEDIATE", &error))
            m_connection.reset();
        if (!m_connection)
            RecordFailure(Describe(error));
        m_connectionString = connectionString;
    }
    return m_connection.get();
}

void CTransaction::RecordFailure(const QString& message) {
    if (!m_failed || m_error.isEmpty())
        m_error = message;
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
        EngineError error;
        if (commit && !m_failed && !Run(m_connection.get(), "COMMIT", &error))
            RecordFailure(Describe(error));
        if (!commit || m_failed)
            Run(m_connection.get(), "ROLLBACK", nullptr);
        Pool().Give(std::move(m_connection), m_connectionString, !m_failed);
    }
    if (m_failed)
        ReportDatabaseError(m_error);
}
