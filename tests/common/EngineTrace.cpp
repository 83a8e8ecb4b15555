#include "EngineTrace.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMutex>
#include <QThread>
#include <sqlite3.h>

namespace {
QMutex g_mutex;
QList<EngineTrace::Statement> g_statements;
bool g_tracing = false; // connections opened meanwhile keep their hook afterwards

bool WaitCursorShown() {
    // The cursor belongs to the window's thread; the engine's other threads saw none.
    if (QThread::currentThread() != qApp->thread())
        return false;
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

int Traced(unsigned, void*, void*, void* sql) {
    const EngineTrace::Statement statement{QString::fromUtf8(static_cast<const char*>(sql)),
                                           WaitCursorShown()};
    QMutexLocker lock(&g_mutex);
    if (g_tracing)
        g_statements << statement;
    return 0;
}

int TraceOnOpen(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, Traced, nullptr);
    return SQLITE_OK;
}

using Entry = void (*)();
Entry OpenHook() {
    return reinterpret_cast<Entry>(&TraceOnOpen);
}
} // namespace

EngineTrace::EngineTrace() {
    QMutexLocker lock(&g_mutex);
    g_statements.clear();
    g_tracing = true;
    sqlite3_auto_extension(OpenHook());
}

EngineTrace::~EngineTrace() {
    sqlite3_cancel_auto_extension(OpenHook());
    QMutexLocker lock(&g_mutex);
    g_tracing = false;
    g_statements.clear();
}

QList<EngineTrace::Statement> EngineTrace::Statements() const {
    QMutexLocker lock(&g_mutex);
    return g_statements;
}

int EngineTrace::Count(const QString& start) const {
    int count = 0;
    for (const Statement& statement : Statements())
        count += statement.sql.startsWith(start) ? 1 : 0;
    return count;
}
