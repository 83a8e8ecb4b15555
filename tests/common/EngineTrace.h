#pragma once
// Sees the statements the engine runs in this process, on any thread, on every connection opened
// while it lives, with what the user saw at that moment.
#include <QList>
#include <QString>
#include <Qt>
#include <functional>

class EngineTrace {
public:
    struct Statement {
        QString sql;
        bool waitCursor; // the application's override cursor was Qt::WaitCursor
    };

    EngineTrace();
    ~EngineTrace();
    EngineTrace(const EngineTrace&) = delete;
    EngineTrace& operator=(const EngineTrace&) = delete;

    QList<Statement> Statements() const;
    // How many statements began with this text.
    int Count(const QString& start) const;
};
