#pragma once
// Which engine a test program runs its shops on: the shop file, or, with VORIX_TEST_ENGINE=server,
// a PostgreSQL server of the program's own (PgServer.h) behind the same access layer.
#include <QByteArray>
#include <QString>

class PgServer;

namespace TestEngine {
// True in a run on the server.
bool OnServer();
// Starts the program's server when the run is on one; the server stops with the returned object.
class Run {
public:
    Run();
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
};
// The program's server (null in a run on the file).
PgServer* Server();
// The server's shop made fresh, as a prepared one is: empty tables, the first prices and the first
// administrator, the keys counting from 1. Returns the access layer's connection string of it.
QString FreshServerShop();
// The server's shop prepared anew in an empty database, or after its schema is dropped.
QString Prepared(const QString& info, const QString& shop);
QString Rebuilt(const QString& info, const QString& shop);
// psql's output of query on the program's server, cells apart by |; empty when it failed.
QByteArray PsqlReads(const QByteArray& query);
} // namespace TestEngine

// Skips the test case in a run on the server: it looks at the shop file itself.
#define VORIX_FILE_ONLY()                                                                                    \
    do {                                                                                                     \
        if (TestEngine::OnServer())                                                                          \
            QSKIP("looks at the shop file itself");                                                          \
    } while (false)
