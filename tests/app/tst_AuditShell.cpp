#include "Shell.h"
#include "TestRegistry.h"

#include "ui_CCleanupDlg.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CCleanupDlg.h"

using namespace Shell;
using namespace Qt::StringLiterals;

namespace {
QStringList Trail() {
    return Db::Rows(u"SELECT OptUser, Kind, ItemKey, Detail FROM AuditTrail ORDER BY ID"_s, u'|', u'\n')
        .split(u'\n', Qt::SkipEmptyParts);
}
} // namespace

// The main window's own changes leave their rows in the trail: the login, 注销, a backup and 整理,
// which purges the rentals but never the trail.
class AuditShellTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ResetSession(); }

    void loginLogoutBackupAndCleanupLeaveTheirRows() {
        TempShop shop;
        FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 5)));
        Frame frame;
        QCOMPARE(Trail(), QStringList{u"Admin|登录|Admin|"_s});
        QVERIFY(
            Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,ReturnDate) VALUES "
                     "('C1','F1','月租','2026-01-02'),('C2','F2','月租','2026-01-03'),('C1','F3','月租',''),"
                     "('','F1','零租','2026-01-04')"_s));
        BoxRecorder boxes;
        frame->OnBackup();
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY2(boxes.Texts().at(0).startsWith(u"数据库已备份到"_s), qPrintable(boxes.Texts().at(0)));
        QCOMPARE(Trail().value(1), u"Admin|备份|2026-12-08 09 05.bak|"_s + QDir::currentPath() +
                                       u"/dbBak/2026-12-08 09 05.bak"_s);

        CCleanupDlg cleanup;
        QVERIFY(cleanup.OnInitDialog());
        cleanup.Form()->monthlyCheck->setChecked(true);
        boxes.Answer(IDYES);
        cleanup.OnOK();
        QVERIFY(cleanup.IsEnded());
        QCOMPARE(Db::Count(u"Record"_s), 2);
        QCOMPARE(Trail().filter(u"|整理|"_s).value(0),
                 u"Admin|整理|月租|清除月租已还记录 2 条,还回日期至 2026-01-03"_s);

        ModalScript again(LoginAs(u"Admin"_s, u"admin"_s));
        frame->OnLogout();
        QCOMPARE(Trail().mid(Trail().size() - 2),
                 (QStringList{u"Admin|注销|Admin|"_s, u"Admin|登录|Admin|"_s}));
    }
};
VORIX_TEST_ON_FILE_ONLY(AuditShellTest)

#include "tst_AuditShell.moc"
