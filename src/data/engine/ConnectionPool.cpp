#include "data/engine/ConnectionPool.h"

#include <vector>

namespace {
// Idle connections kept per thread; more than the desk ever holds at once.
constexpr size_t kPoolSize = 4;

// Idle connections of this thread, the most recently used last. Without them every operation's
// connection to the file would be the last to close; the engine then checkpoints and removes the
// write-ahead log, only to rebuild it and read the schema again at the next open (and a server
// would start a process for each). An idle connection holds no statement, no transaction and no lock.
struct Idle {
    QString connectionString;
    ConnectionHandle db;
};

std::vector<Idle>& IdleOfThisThread() {
    thread_local std::vector<Idle> idle;
    return idle;
}
} // namespace

ConnectionHandle ConnectionPool::Take(const QString& connectionString, EngineError* error) {
    std::vector<Idle>& idle = IdleOfThisThread();
    for (auto it = idle.end(); it != idle.begin();) {
        --it;
        if (it->connectionString != connectionString)
            continue;
        // A file deleted or put in place of the old one since, or a server that closed the
        // connection: the connection is stale.
        if (!it->db->IsCurrent(connectionString)) {
            it = idle.erase(it);
            continue;
        }
        ConnectionHandle db = std::move(it->db);
        idle.erase(it);
        return db;
    }
    return Engine::Open(connectionString, error);
}

void ConnectionPool::Give(ConnectionHandle db, const QString& connectionString, bool sound) {
    if (!sound || !db->IsIdle() || !db->IsCurrent(connectionString))
        return;
    std::vector<Idle>& idle = IdleOfThisThread();
    idle.push_back({connectionString, std::move(db)});
    if (idle.size() > kPoolSize)
        idle.erase(idle.begin());
}
