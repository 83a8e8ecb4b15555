#pragma once
// Which database the program works on: the shop file of the current folder, or the database server
// that the shop folder's settings name (set once with vorix --server).
#include <QString>

namespace ShopConnection {
// The connection string of the shop's file; the file is looked up in the current directory.
inline const char* const kFile = "Provider=SQLCipher;Data Source=cddata.mdb;Database Password=mqvetra531";

// The file of the shop's settings for a server, in the shop folder.
inline constexpr char kServerSettingsFile[] = "vorix-server.conf";

// The connection string every connection of the program takes unless it is given another: the
// file's (kConnectionString) until Use names a server.
QString Current();
// Makes connectionString the program's; empty goes back to the file.
void Use(const QString& connectionString);
// The connection string of a server, from libpq's connection text ("host=… dbname=… user=…").
QString ForServer(const QString& connectionInfo);
// The server text of a connection string made by ForServer; empty for the file's.
QString ServerInfo(const QString& connectionString);

// The server the shop folder's settings name; empty when the shop is its file.
QString LoadServer(const QString& folder);
// Keeps connectionInfo as the folder's server (readable by its owner only), or forgets the server
// when it is empty; false with *error in Chinese when the settings cannot be written.
bool SaveServer(const QString& folder, const QString& connectionInfo, QString* error);
} // namespace ShopConnection
