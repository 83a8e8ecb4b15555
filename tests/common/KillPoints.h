#pragma once
// Kill points: a child of the test program, in a fresh shop file of its own, dies with SIGKILL at
// the start of its n-th statement that writes (INSERT, UPDATE, DELETE, COMMIT), as at a power cut:
// no destructor, no rollback, the write-ahead log as the engine left it. The parent runs the
// child once for each kill point and compares the file's rows after each.
#include <QByteArray>
#include <QList>
#include <QString>

namespace KillPoints {
struct Run {
    bool killed = false;
    QString snapshot;
    QByteArray output;
};

// `SELECT * FROM table ORDER BY rowid` for each table.
QList<QByteArray> WholeTables(const QList<QByteArray>& tables);
// The rows each statement reads in the shop file, a line each, "--" after each statement; then
// the summaries that differ from the rows (Db::kSummariesAstray), none in a sound file.
QString Snapshot(const QString& file, const QList<QByteArray>& selects);
// Runs the test class childClass of this program in a fresh prepared shop, with the action and
// the kill point in its environment (0: it dies just before the action), then reads the file.
Run RunChild(const QString& childClass, const QString& action, int killAt, const QList<QByteArray>& selects);

// In the child: the action asked for, empty when the class does not run as a child; the trace of
// the writes is on every connection opened from then on.
QString ChildAction();
// In the child: the kill point asked for (0: before the action).
int KillAt();
// In the child: the writes count from here on; at KillAt() the process dies.
void Arm();
} // namespace KillPoints
