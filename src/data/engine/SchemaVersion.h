#pragma once
// The version of the shop's schema that this program writes and reads: the file's user_version,
// the server's SchemaVersion row. Each new version comes with the file's upgrade, the server's
// schema and the move between them.
namespace Schema {
inline constexpr int kVersion = 13;
} // namespace Schema
