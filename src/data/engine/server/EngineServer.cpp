// A shop database on a PostgreSQL server behind the access layer, through libpq. Rows come one at a
// time (single-row mode), so a browse over a million rentals opens at once as on the file; every
// write takes the shop's lock, as every write on the file takes the file's.
#include "data/engine/Engine.h"
#include "data/engine/SchemaVersion.h"
#include "data/engine/ShopConnection.h"
#include "data/engine/server/ServerConnection.h"

namespace {
EngineError ConnectFailure(PGconn* db) {
    const QString text = QString::fromUtf8(PQerrorMessage(db)).trimmed();
    EngineError::Code code = EngineError::Unreachable;
    if (text.contains(QLatin1String("authentication failed")) ||
        text.contains(QLatin1String("no password")) || text.contains(QLatin1String("role \"")) ||
        text.contains(QLatin1String("no pg_hba.conf entry")))
        code = EngineError::Refused;
    else if (text.contains(QLatin1String("database \"")) && text.contains(QLatin1String("does not exist")))
        code = EngineError::NoSuchDatabase;
    return {code, text};
}
} // namespace

ConnectionHandle Engine::OpenServer(const QString& connectionString, EngineError* error) {
    const QByteArray info = ShopConnection::ServerInfo(connectionString).toUtf8();
    const char* const keywords[] = {"dbname", "client_encoding", "connect_timeout",
                                    "fallback_application_name", nullptr};
    const char* const values[] = {info.constData(), "UTF8", "10", "vorix", nullptr};
    PGconn* db = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(db) != CONNECTION_OK) {
        *error = ConnectFailure(db);
        PQfinish(db);
        return nullptr;
    }
    auto connection = std::make_unique<ServerEngine::ServerConnection>(db);
    // A database of another program, or of another version of this one, is refused as the file is.
    PGresult* version = PQexec(db, "SELECT Version FROM SchemaVersion");
    const bool read = PQresultStatus(version) == PGRES_TUPLES_OK && PQntuples(version) == 1;
    const int found = read ? QByteArray(PQgetvalue(version, 0, 0)).toInt() : -1;
    if (!read)
        connection->Failed(version);
    PQclear(version);
    if (!read) {
        *error = connection->Error();
        if (error->code != EngineError::Lost)
            error->code = EngineError::NotAShop;
        return nullptr;
    }
    if (found != Schema::kVersion) {
        *error = {EngineError::Failed,
                  QStringLiteral(
                      "服务器上的数据库是%1版本的程序写的(数据库版本 %2,本程序是版本 %3),本程序不能使用它。"
                      "数据库没有做任何改动。")
                      .arg(found > Schema::kVersion ? QStringLiteral("更新") : QStringLiteral("旧"))
                      .arg(found)
                      .arg(Schema::kVersion)};
        return nullptr;
    }
    if (!connection->Run(ServerEngine::kSessionSettings)) {
        *error = connection->Error();
        return nullptr;
    }
    return connection;
}
