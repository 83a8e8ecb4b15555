// The one place that chooses an engine: the connection string names a server, or the shop file.
#include "data/engine/Engine.h"
#include "data/engine/ShopConnection.h"

bool Engine::IsServer(const QString& connectionString) {
    return !ShopConnection::ServerInfo(connectionString).isEmpty();
}

ConnectionHandle Engine::Open(const QString& connectionString, EngineError* error) {
    return IsServer(connectionString) ? OpenServer(connectionString, error)
                                      : OpenFile(connectionString, error);
}
