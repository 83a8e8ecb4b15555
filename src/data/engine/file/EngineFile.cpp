// The shop file's engine behind the access layer.
#include "data/engine/Engine.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"

#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {
// Engine instructions between two questions to the progress handler: some thousand times a second
// on a long scan, too seldom to slow it.
constexpr int kProgressInstructions = 1000;

// Which file the connection string names now (stat only: no descriptor is opened).
bool Identify(const QString& connectionString, struct stat* info) {
    const QByteArray path =
        QFile::encodeName(DatabaseOpen::ParseConnectionString(connectionString).dataSource);
    return ::stat(path.constData(), info) == 0;
}

class FileStatement : public EngineStatement {
public:
    explicit FileStatement(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~FileStatement() override { sqlite3_finalize(m_stmt); }
    FileStatement(const FileStatement&) = delete;
    FileStatement& operator=(const FileStatement&) = delete;

    Step Next() override {
        switch (sqlite3_step(m_stmt)) {
        case SQLITE_ROW:
            return Row;
        case SQLITE_DONE:
            return Done;
        case SQLITE_INTERRUPT:
            return Interrupted;
        default:
            return Failed;
        }
    }
    int Columns() const override { return sqlite3_column_count(m_stmt); }
    QString Name(int column) const override { return QString::fromUtf8(sqlite3_column_name(m_stmt, column)); }
    QByteArrayView Bytes(int column) const override {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return value ? QByteArrayView(value, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
    }
    double Real(int column) const override { return sqlite3_column_double(m_stmt, column); }
    bool IsAmount(int column) const override {
        const char* type = sqlite3_column_decltype(m_stmt, column);
        if (type && qstricmp(type, "REAL") == 0)
            return true;
        // A sum has no declared type: its name says it is yuan.
        const char* name = sqlite3_column_name(m_stmt, column);
        return name && QByteArrayView(name).endsWith("(元)");
    }

private:
    sqlite3_stmt* m_stmt;
};

class FileConnection : public EngineConnection {
public:
    FileConnection(DatabaseHandle db, const struct stat& info)
        : m_db(std::move(db)), m_device(info.st_dev), m_inode(info.st_ino) {}

    std::unique_ptr<EngineStatement> Prepare(const QString& sql, bool* ok) override {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        *ok = sqlite3_prepare_v2(m_db.get(), text.constData(), int(text.size()), &stmt, nullptr) == SQLITE_OK;
        if (!*ok || !stmt) {
            sqlite3_finalize(stmt);
            return nullptr;
        }
        return std::make_unique<FileStatement>(stmt);
    }
    bool Run(const char* sql) override { return FileError::Run(m_db.get(), sql); }
    bool BeginWrite() override { return Run("BEGIN IMMEDIATE"); }
    EngineError Error() const override { return FileError::Last(m_db.get()); }
    bool IsIdle() const override {
        return sqlite3_get_autocommit(m_db.get()) && !sqlite3_next_stmt(m_db.get(), nullptr);
    }
    bool IsCurrent(const QString& connectionString) const override {
        struct stat info {};
        return Identify(connectionString, &info) && info.st_dev == m_device && info.st_ino == m_inode;
    }
    void SetBusyTimeout(int ms) override { sqlite3_busy_timeout(m_db.get(), ms); }
    void SetProgressHandler(std::function<bool()> handler) override {
        m_progress = std::move(handler);
        if (m_progress)
            sqlite3_progress_handler(m_db.get(), kProgressInstructions, &FileConnection::OnProgress, this);
        else
            sqlite3_progress_handler(m_db.get(), 0, nullptr, nullptr);
    }
    // The whole catalogue is looked up again and again by the rentals' join: a cache of 32 MB keeps
    // it in memory (a third of the time on a million rentals), still well under what a window holds.
    void PrepareForScan() override { Run("PRAGMA cache_size = -32768"); }

private:
    static int OnProgress(void* connection) {
        auto* self = static_cast<FileConnection*>(connection);
        return self->m_progress && self->m_progress() ? 1 : 0;
    }

    DatabaseHandle m_db;
    dev_t m_device;
    ino_t m_inode;
    std::function<bool()> m_progress;
};
} // namespace

ConnectionHandle Engine::OpenFile(const QString& connectionString, EngineError* error) {
    struct stat info {};
    OpenOptions options;
    options.upToDate = true;
    DatabaseHandle db =
        DatabaseOpen::OpenKeyed(DatabaseOpen::ParseConnectionString(connectionString), options, error);
    if (!db)
        return nullptr;
    // The file as it was opened: a file put in its place later makes the connection stale.
    if (!Identify(connectionString, &info)) {
        *error = FileError::OfCode(SQLITE_CANTOPEN);
        return nullptr;
    }
    return std::make_unique<FileConnection>(std::move(db), info);
}
