#pragma once
// A PostgreSQL server of the test's own: a new cluster (a copy of one that initdb made once) in a
// temporary folder, reached only through a socket in that folder (no TCP), trust authentication,
// stopped and removed with the object. As the superuser, the server runs as the system's postgres
// user (through runuser): PostgreSQL refuses root.
#include <QString>
#include <QTemporaryDir>

class PgServer {
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // False when the server could not be started; Failure() says why.
    bool IsRunning() const { return m_running; }
    QString Failure() const { return m_failure; }
    // A libpq connection string for a database of this server ("" for the one made at start).
    QString ConnectionString(const QString& database = QString()) const;
    // One of the server's programs (psql, pg_dump), by name.
    QString Program(const QString& name) const { return m_bin + QLatin1Char('/') + name; }

private:
    bool FreshCluster(const QString& data, QString* output);
    bool Run(const QStringList& command, QString* output);

    QTemporaryDir m_dir;
    QString m_bin;    // the server's programs
    QString m_socket; // the folder of the server's socket
    int m_port = 0;
    bool m_asPostgres = false;
    bool m_running = false;
    QString m_failure;
};
