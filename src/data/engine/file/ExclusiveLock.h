#pragma once
// The engine's exclusive lock on a file, taken as a writer takes it, through the engine's own
// handle (a descriptor of ours would drop the locks of our other connections to the file). In WAL
// mode a connection that has read the file keeps a shared lock on it until it is closed, and the
// engine's backup holds a write lock on its target from the first step, so while this lock is held
// no program is working on the file and none can begin to read it. A program that is killed loses
// its locks with it.
#include "data/engine/file/DatabaseOpen.h"

#include <QString>

struct sqlite3_file;

class ExclusiveLock {
public:
    enum class Outcome { Taken, Busy, Failed };

    ExclusiveLock() = default;
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    ~ExclusiveLock(); // lets go of the lock

    // Busy while any program has the file open; Failed with *error set when it cannot be opened.
    Outcome Take(const QString& path, QString* error);

private:
    DatabaseHandle m_db;
    sqlite3_file* m_file = nullptr;
};
