#include "KillPoints.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "manage/CClientEditDlg.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CFilmManageDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CFilmEditDlg.h"

#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// The rows the kill points compare.
const QList<QByteArray> kKeysSelects = {
    "SELECT * FROM Film ORDER BY rowid", "SELECT * FROM Client ORDER BY rowid",
    "SELECT Film, Kind, Pinyin FROM FilmKey ORDER BY 1, 2, 3",
    "SELECT Client, Kind, Pinyin FROM ClientKey ORDER BY 1, 2, 3",
    "SELECT OptUser, Kind, ItemKey, Detail FROM AuditTrail ORDER BY rowid"};

KillPoints::Run RunKeysChild(const QString& action, int killAt) {
    return KillPoints::RunChild(u"KeysKillChild"_s, action, killAt, kKeysSelects);
}
} // namespace

// The search keys and the trail's row are written in the transaction of the row they stand for:
// killed at any write statement of a save or a delete, the file holds the row, its keys and its
// trail as before, or all changed.
class KeysKillTest : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhereLeavesRowAndKeysTogether_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("key");   // a key the finished action wrote
        QTest::addColumn<QString>("trail"); // the kind and code of its row in the trail
        QTest::newRow("new film") << u"new-film"_s << u"cjqh"_s << u"影片新增|V2"_s;
        QTest::newRow("renamed film") << u"rename-film"_s << u"bwbj"_s << u"影片修改|V1"_s;
        QTest::newRow("new client") << u"new-client"_s << u"zs"_s << u"客户新增|C1"_s;
        QTest::newRow("deleted film") << u"delete-film"_s << QString() << u"影片删除|V1"_s;
    }
    void killedAnywhereLeavesRowAndKeysTogether() {
        QFETCH(QString, action);
        QFETCH(QString, key);
        const KillPoints::Run before = RunKeysChild(action, 0);
        QVERIFY2(before.killed, before.output.constData());
        QList<KillPoints::Run> killed;
        KillPoints::Run finished;
        for (int at = 1; at < 20; ++at) {
            KillPoints::Run run = RunKeysChild(action, at);
            if (!run.killed) {
                finished = run;
                break;
            }
            killed << run;
        }
        QVERIFY2(finished.output.contains("PASS   : KeysKillChild::act()"), finished.output.constData());
        QVERIFY(finished.snapshot != before.snapshot);
        if (!key.isEmpty())
            QVERIFY2(finished.snapshot.contains(u'|' + key + u"|\n"_s), qPrintable(finished.snapshot));
        QFETCH(QString, trail);
        QVERIFY2(finished.snapshot.contains(u"Admin|"_s + trail + u'|'), qPrintable(finished.snapshot));
        QVERIFY(killed.size() >= 3); // the row, its keys, the commit
        for (int i = 0; i < killed.size(); ++i)
            QVERIFY2(killed[i].snapshot == before.snapshot,
                     qPrintable(u"killed at write %1:\n%2"_s.arg(i + 1).arg(killed[i].snapshot)));
    }
};
VORIX_TEST_ON_FILE_ONLY(KeysKillTest)

// The child of the test above, in the shop of its working folder.
class KeysKillChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        const QString action = KillPoints::ChildAction();
        if (action.isEmpty())
            QSKIP("runs as a child of KeysKillTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        {
            // The fixture's film, with its keys, as the editor writes them.
            CFilmEditDlg edit;
            QVERIFY(edit.OnInitDialog());
            edit.Form()->filmIdEdit->setText(u"V1"_s);
            edit.Form()->filmNameEdit->setText(u"英雄"_s);
            edit.OnOK();
            QVERIFY(edit.IsEnded());
        }
        if (KillPoints::KillAt() == 0)
            std::raise(SIGKILL); // the shop before the action
        KillPoints::Arm();
        if (action == u"new-film"_s || action == u"rename-film"_s) {
            CFilmEditDlg edit;
            if (action == u"rename-film"_s)
                edit.m_strID = Db::Value(u"SELECT ID AS v FROM Film WHERE FilmID='V1'"_s);
            QVERIFY(edit.OnInitDialog());
            if (action == u"new-film"_s)
                edit.Form()->filmIdEdit->setText(u"V2"_s);
            edit.Form()->filmNameEdit->setText(action == u"new-film"_s ? u"长江七号"_s : u"霸王别姬"_s);
            edit.OnOK();
            QVERIFY(edit.IsEnded());
        } else if (action == u"new-client"_s) {
            CClientEditDlg edit;
            QVERIFY(edit.OnInitDialog());
            edit.Form()->clientEdit->setText(u"C1"_s);
            edit.Form()->remarkEdit->setPlainText(u"张三"_s);
            edit.OnOK();
            QVERIFY(edit.IsEnded());
        } else {
            CFilmManageDlg films;
            films.show();
            QVERIFY(films.OnInitDialog());
            boxes.Answer(IDYES);
            films.OnDelete();
        }
        QCOMPARE(boxes.Texts().filter(u"失败"_s), QStringList());
    }
};
VORIX_TEST(KeysKillChild)

#include "tst_KeysKill.moc"
