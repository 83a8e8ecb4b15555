#include "DeskFixture.h"

#include "desk/CLendDlg.h"
#include "ui_CLendDlg.h"

#include "data/CAdoDb.h"

#include <sqlite3.h>

ForeignWriteLock::ForeignWriteLock() {
    QString error;
    m_db = OpenDatabase(ParseConnectionString(QString::fromUtf8(kConnectionString)), &error);
    if (!m_db || sqlite3_exec(m_db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot lock the test database");
}

ForeignWriteLock::~ForeignWriteLock() {
    sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

int ForeignExec(const char* sql, int busyTimeoutMs) {
    QString error;
    const DatabaseHandle db =
        OpenDatabase(ParseConnectionString(QString::fromUtf8(kConnectionString)), &error);
    if (!db)
        qFatal("cannot open the test database: %s", qPrintable(error));
    sqlite3_busy_timeout(db.get(), busyTimeoutMs);
    return sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr);
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
