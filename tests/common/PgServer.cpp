#include "PgServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <unistd.h>

namespace {
// The newest server installed: /usr/lib/postgresql/<version>/bin.
QString ServerPrograms() {
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const QString bin = versions.filePath(*it + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return QString();
}
} // namespace

PgServer::PgServer() {
    m_bin = ServerPrograms();
    if (m_bin.isEmpty()) {
        m_failure = QStringLiteral("no PostgreSQL server is installed (/usr/lib/postgresql/*/bin)");
        return;
    }
    m_asPostgres = geteuid() == 0;
    m_socket = m_dir.path();
    m_port = 20000 + int(QCoreApplication::applicationPid() % 20000);
    const QString data = m_dir.filePath(QStringLiteral("data"));
    QString output;
    if (m_asPostgres &&
        !Run({QStringLiteral("/bin/chown"), QStringLiteral("postgres"), m_dir.path()}, &output)) {
        m_failure = output;
        return;
    }
    if (!FreshCluster(data, &output)) {
        m_failure = QStringLiteral("initdb failed: ") + output;
        return;
    }
    // Only the socket in the test's folder; no fsync: the cluster dies with the test.
    const QString options =
        QStringLiteral("-k %1 -p %2 -c listen_addresses= -c fsync=off").arg(m_socket).arg(m_port);
    if (!Run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), data, QStringLiteral("-o"), options,
              QStringLiteral("-l"), m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
              QStringLiteral("start")},
             &output)) {
        QFile log(m_dir.filePath(QStringLiteral("server.log")));
        log.open(QIODevice::ReadOnly);
        m_failure = QStringLiteral("the server did not start: ") + output + QString::fromUtf8(log.readAll());
        return;
    }
    m_running = true;
}

PgServer::~PgServer() {
    if (!m_running)
        return;
    QString output;
    Run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
         QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
        &output);
}

bool PgServer::FreshCluster(const QString& data, QString* output) {
    // One cluster made by initdb for every test of this machine and server version, copied for
    // each: initdb takes seconds, the copy a fraction of one. A lock keeps parallel tests from making
    // it twice; it is made under another name and renamed, so a killed initdb leaves no half.
    const QString version = QFileInfo(QFileInfo(m_bin).path()).fileName();
    const QString folder =
        QDir::temp().filePath(QStringLiteral("vorix-pg-cluster-%1-%2").arg(version).arg(geteuid()));
    const QString cluster = folder + QStringLiteral("/data");
    QLockFile lock(folder + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock()) {
        *output = QStringLiteral("cannot lock ") + lock.fileName();
        return false;
    }
    if (!QFile::exists(cluster + QStringLiteral("/PG_VERSION"))) {
        const QString made = folder + QStringLiteral("/new");
        QDir(made).removeRecursively();
        if (!QDir().mkpath(folder) ||
            (m_asPostgres &&
             !Run({QStringLiteral("/bin/chown"), QStringLiteral("postgres"), folder}, output)))
            return false;
        if (!Run({m_bin + QStringLiteral("/initdb"), QStringLiteral("-D"), made, QStringLiteral("-A"),
                  QStringLiteral("trust"), QStringLiteral("-U"), QStringLiteral("vorix"),
                  QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
                  QStringLiteral("--no-sync")},
                 output) ||
            !QDir().rename(made, cluster))
            return false;
    }
    return Run({QStringLiteral("/bin/cp"), QStringLiteral("-a"), cluster, data}, output);
}

bool PgServer::Run(const QStringList& command, QString* output) {
    QStringList arguments = command;
    QString program = arguments.takeFirst();
    if (m_asPostgres && !program.endsWith(QStringLiteral("/chown"))) {
        arguments.prepend(program);
        arguments.prepend(QStringLiteral("--"));
        arguments.prepend(QStringLiteral("postgres"));
        arguments.prepend(QStringLiteral("-u"));
        program = QStringLiteral("/sbin/runuser");
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(m_dir.path());
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString PgServer::ConnectionString(const QString& database) const {
    return QStringLiteral("host=%1 port=%2 user=vorix dbname=%3")
        .arg(m_socket)
        .arg(m_port)
        .arg(database.isEmpty() ? QStringLiteral("postgres") : database);
}
