#include "TestEngine.h"

#include "PgServer.h"

#include "data/CAdoDb.h"
#include "data/shop/ServerDatabase.h"

#include <QProcess>
#include <libpq-fe.h>
#include <memory>

namespace {
std::unique_ptr<PgServer>& TheServer() {
    static std::unique_ptr<PgServer> server;
    return server;
}

// The prepared shop's rows, read once after the server's shop was prepared.
QString& FreshRows() {
    static QString rows;
    return rows;
}

// What a case may have changed of the tables themselves: their columns and triggers.
const char* const kShape =
    "SELECT (SELECT count(*) FROM information_schema.columns WHERE table_schema = "
    "'public') || ':' || (SELECT count(*) FROM pg_trigger WHERE NOT tgisinternal) AS v";
QString& FreshShape() {
    static QString shape;
    return shape;
}
} // namespace

bool TestEngine::OnServer() {
    return qgetenv("VORIX_TEST_ENGINE") == "server";
}

namespace {
// The shop a parent test hands to the programs it starts as desks of its own.
const char* const kShopVariable = "VORIX_TEST_SHOP";
} // namespace

TestEngine::Run::Run() {
    if (!OnServer())
        return;
    // A desk started by a test works on that test's shop.
    if (!qEnvironmentVariableIsEmpty(kShopVariable)) {
        ShopConnection::Use(qEnvironmentVariable(kShopVariable));
        return;
    }
    TheServer() = std::make_unique<PgServer>();
    if (!TheServer()->IsRunning())
        qFatal("cannot start the test's server: %s", qPrintable(TheServer()->Failure()));
}

TestEngine::Run::~Run() {
    TheServer().reset();
}

PgServer* TestEngine::Server() {
    return TheServer().get();
}

QString TestEngine::FreshServerShop() {
    const QString info = Server()->ConnectionString();
    const QString shop = ShopConnection::ForServer(info);
    qputenv(kShopVariable, shop.toUtf8());
    EngineError error;
    // Idle connections hold no lock: nothing of an earlier case stands in the way. A case that
    // changed the tables themselves leaves a schema made anew.
    if (!FreshRows().isEmpty()) {
        if (CAdoDb(shop).Query(QString::fromLatin1(kShape)).GetText("v") != FreshShape())
            return Rebuilt(info, shop);
        const ConnectionHandle db = Engine::Open(shop, &error);
        const QByteArray reset =
            "TRUNCATE Client, Film, Record, Operator, Setting, Ledger, Options, "
            "FilmKey, ClientKey, RentContact, DrawerFloat, DeskAction, Reservation, "
            "ImportRun, ImportRow, AuditTrail, LedgerDay, FilmKinds, TitleDiscs, FilmLent, "
            "ClientLent "
            "RESTART IDENTITY; " +
            FreshRows().toUtf8();
        if (db && db->Run(reset.constData()))
            return shop;
        return Rebuilt(info, shop);
    }
    return Prepared(info, shop);
}

QString TestEngine::Rebuilt(const QString& info, const QString& shop) {
    // A connection of libpq's own: the access layer refuses a database that holds no shop.
    PGconn* db = PQconnectdb(info.toUtf8().constData());
    PGresult* result = PQexec(db, "DROP SCHEMA public CASCADE; CREATE SCHEMA public");
    const bool dropped = PQresultStatus(result) == PGRES_COMMAND_OK;
    if (!dropped)
        qFatal("cannot make the test's shop fresh: %s", PQerrorMessage(db));
    PQclear(result);
    PQfinish(db);
    return Prepared(info, shop);
}

QString TestEngine::Prepared(const QString& info, const QString& shop) {
    QString failure;
    if (!ServerDatabase::Prepare(info, &failure))
        qFatal("cannot prepare the test's server: %s", qPrintable(failure));
    CAdoDb db(shop);
    const QString hash = db.Query(QStringLiteral("SELECT OptPwd FROM Operator")).GetText("OptPwd");
    FreshRows() = QStringLiteral("INSERT INTO Operator (OptName, OptPwd, Type) VALUES ('Admin', '%1', "
                                 "'管理员'); INSERT INTO Setting (MonthVcd, MonthDvd, DayVcd, DayDvd) "
                                 "VALUES (30, 40, 3, 5)")
                      .arg(hash);
    FreshShape() = db.Query(QString::fromLatin1(kShape)).GetText("v");
    return shop;
}

QByteArray TestEngine::PsqlReads(const QByteArray& query) {
    QProcess child;
    child.start(Server()->Program(QStringLiteral("psql")),
                {QStringLiteral("-X"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-F"),
                 QStringLiteral("|"), QStringLiteral("-c"), QString::fromUtf8(query),
                 Server()->ConnectionString()});
    if (!child.waitForStarted() || !child.waitForFinished(10000) || child.exitCode() != 0)
        return {};
    return child.readAllStandardOutput();
}
