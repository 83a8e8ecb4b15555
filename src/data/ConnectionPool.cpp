#include "data/ConnectionPool.h"

#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>
#include <vector>

namespace {
// Idle connections kept per thread; more than the desk ever holds at once.
constexpr size_t kPoolSize = 4;

// Which file the connection string names now (stat only: no descriptor is opened).
bool Identify(const QString& connectionString, struct stat* info) {
    const QByteArray path = QFile::encodeName(ParseConnectionString(connectionString).dataSource);
    return ::stat(path.constData(), info) == 0;
}

// Idle connections of this thread, the most recently used last. Without them every operation's
// connection would be the last to close; the engine then checkpoints and removes the write-ahead
// log, only to rebuild it and read the schema again at the next open. An idle connection holds
// no statement, no transaction and no lock.
struct Idle {
    QString connectionString;
    DatabaseHandle db;
    dev_t device;
    ino_t inode;
};

std::vector<Idle>& IdleOfThisThread() {
    thread_local std::vector<Idle> idle;
    return idle;
}
} // namespace

DatabaseHandle ConnectionPool::Take(const QString& connectionString, EngineError* error) {
    std::vector<Idle>& idle = IdleOfThisThread();
    struct stat info {};
    const bool present = Identify(connectionString, &info);
    for (auto it = idle.end(); it != idle.begin();) {
        --it;
        if (it->connectionString != connectionString)
            continue;
        // A file deleted or put in place of the old one since: its connections are stale.
        if (!present || it->device != info.st_dev || it->inode != info.st_ino) {
            it = idle.erase(it);
            continue;
        }
        DatabaseHandle db = std::move(it->db);
        idle.erase(it);
        return db;
    }
    OpenOptions options;
    options.upToDate = true;
    return OpenKeyed(ParseConnectionString(connectionString), options, error);
}

void ConnectionPool::Give(DatabaseHandle db, const QString& connectionString, bool sound) {
    struct stat info {};
    if (!sound || !sqlite3_get_autocommit(db.get()) || sqlite3_next_stmt(db.get(), nullptr) ||
        !Identify(connectionString, &info))
        return;
    std::vector<Idle>& idle = IdleOfThisThread();
    idle.push_back({connectionString, std::move(db), info.st_dev, info.st_ino});
    if (idle.size() > kPoolSize)
        idle.erase(idle.begin());
}
