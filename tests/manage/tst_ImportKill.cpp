#include "ImportShop.h"
#include "KillPoints.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/ImportUndo.h"

#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;
using Import::What;

namespace {

const QList<QByteArray> kImportSelects =
    KillPoints::WholeTables({"Film", "Client", "Ledger", "FilmKey", "ClientKey", "ImportRun", "ImportRow"});

KillPoints::Run RunImportChild(const QString& action, int killAt) {
    return KillPoints::RunChild(u"ImportKillChild"_s, action, killAt, kImportSelects);
}

const QByteArray kClients = u"编号,押金,余款,备注\nK2,50,100,张三\nK1,80,,\n"_s.toUtf8();
} // namespace

// An import and its undo are one transaction each: killed at any write statement, the file holds
// all of it or nothing.
class ImportKillTest : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhereLeavesAllOrNothing_data() {
        QTest::addColumn<QString>("action");
        // The clients' import and undo run every statement the films' do, and the ledger's besides.
        QTest::newRow("import") << u"import-clients"_s;
        QTest::newRow("undo") << u"undo-clients"_s;
    }
    void killedAnywhereLeavesAllOrNothing() {
        QFETCH(QString, action);
        const KillPoints::Run before = RunImportChild(action, 0);
        QVERIFY2(before.killed, before.output.constData());
        QList<KillPoints::Run> killed;
        KillPoints::Run finished;
        for (int at = 1; at < 40; ++at) {
            KillPoints::Run run = RunImportChild(action, at);
            if (!run.killed) {
                finished = run;
                break;
            }
            killed << run;
        }
        QVERIFY2(finished.output.contains("PASS   : ImportKillChild::act()"), finished.output.constData());
        QVERIFY(finished.snapshot != before.snapshot);
        QVERIFY(killed.size() >= 4);
        for (int i = 0; i < killed.size(); ++i)
            QVERIFY2(killed[i].snapshot == before.snapshot,
                     qPrintable(u"killed at write %1:\n%2"_s.arg(i + 1).arg(killed[i].snapshot)));
    }
};
VORIX_TEST_ON_FILE_ONLY(ImportKillTest)

class ImportKillChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        const QString action = KillPoints::ChildAction();
        if (action.isEmpty())
            QSKIP("runs as a child of ImportKillTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Type) VALUES ('EX1','英雄','VCD')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID,Foregift,Balance) VALUES ('K1',50,20)"_s));
        const What what = What::Clients;
        const Import::Options update{true, false};
        const QByteArray& file = kClients;
        if (action.startsWith(u"undo"_s))
            QCOMPARE(ImportShop::Imported(what, file, update), Import::Outcome::Done);
        if (KillPoints::KillAt() == 0)
            std::raise(SIGKILL); // the shop before the action
        KillPoints::Arm();
        QString refusal;
        if (action.startsWith(u"undo"_s))
            QCOMPARE(Import::Undo(what, u"Admin"_s, &refusal), Import::Outcome::Done);
        else
            QCOMPARE(ImportShop::Imported(what, file, update), Import::Outcome::Done);
        QCOMPARE(boxes.Texts(), QStringList());
    }
};
VORIX_TEST(ImportKillChild)
#include "tst_ImportKill.moc"
