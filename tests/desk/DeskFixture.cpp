#include "DeskFixture.h"

#include "desk/CLendDlg.h"
#include "ui_CLendDlg.h"

#include "data/CAdoDb.h"

#include <sqlite3.h>

ForeignWriteLock::ForeignWriteLock() {
    EngineError error;
    m_db = Engine::Open(ShopConnection::Current(), &error);
    if (!m_db || !m_db->BeginWrite())
        qFatal("cannot lock the test database");
}

ForeignWriteLock::~ForeignWriteLock() {
    m_db->Run("ROLLBACK");
}

EngineError::Code ForeignExec(const char* sql, int busyTimeoutMs) {
    EngineError error;
    const ConnectionHandle db = Engine::Open(ShopConnection::Current(), &error);
    if (!db)
        qFatal("cannot open the test database: %s", qPrintable(error.text));
    db->SetBusyTimeout(busyTimeoutMs);
    bool ok = false;
    const std::unique_ptr<EngineStatement> stmt = db->Prepare(QString::fromUtf8(sql), &ok);
    EngineStatement::Step step = ok ? EngineStatement::Done : EngineStatement::Failed;
    while (stmt && (step = stmt->Next()) == EngineStatement::Row) {
    }
    return step == EngineStatement::Done ? EngineError::Ok : db->Error().code;
}

void LendAsClerk(CLendDlg& lend, const QString& client, const QString& film, const QString& deposit,
                 const QDate& day) {
    lend.OnInitDialog();
    if (day.isValid())
        lend.Form()->dateEdit->setDate(day);
    if (deposit.isEmpty()) {
        lend.Form()->clientEdit->setText(client);
    } else {
        Pick(lend.Form()->typeCombo, QStringLiteral("零租"));
        lend.Form()->depositEdit->setText(deposit);
    }
    lend.Form()->filmEdit->setText(film);
    lend.OnOK();
    QVERIFY(lend.IsEnded());
}
