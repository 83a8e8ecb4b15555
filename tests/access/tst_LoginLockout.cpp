#include "Shop.h"
#include "TestRegistry.h"

#include "access/CLoginDlg.h"
#include "access/Session.h"
#include "base/Clock.h"
#include "ui_CLoginDlg.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kWrong = u"密码验证失败!"_s;

// A clock the test moves by hand.
struct MovingClock {
    QDateTime now{QDate(2026, 12, 7), QTime(9, 0)};
    MovingClock() {
        Clock::SetSource([this] { return now; });
    }
    ~MovingClock() { Clock::SetSource({}); }
    void Pass(int seconds) { now = now.addSecs(seconds); }
};

// One try at the real login box, as a fresh start of the program makes it; true when it let in.
bool Try(const QString& name, const QString& password) {
    CLoginDlg dlg;
    dlg.show();
    dlg.OnInitDialog();
    TypeText(dlg.Form()->nameEdit, name);
    TypeText(dlg.Form()->passwordEdit, password);
    QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton);
    return dlg.IsEnded() && dlg.Result() == IDOK;
}

QStringList Trail() {
    return Db::Rows(u"SELECT Kind, ItemKey, Detail FROM AuditTrail ORDER BY ID"_s, u'|', u'\n')
        .split(u'\n', Qt::SkipEmptyParts);
}
} // namespace

// Guessing is slowed: after five wrong passwords in a row for a name at a desk, the name waits, and
// longer after each further wrong one; the count is the trail's, so a restart does not reset it.
class LoginLockoutTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Session::Current().SignOut(); }

    void fiveWrongThenTheNameWaits() {
        TempShop shop;
        BoxRecorder boxes;
        MovingClock clock;
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!Try(u"Admin"_s, u"guess%1"_s.arg(i)));
            clock.Pass(2);
        }
        QCOMPARE(boxes.Texts(), QStringList(4, kWrong)); // the first refusals as they always were
        QVERIFY(!Try(u"ADMIN"_s, u"guess4"_s));          // the same name in another letter case
        QCOMPARE(boxes.Texts().last(), kWrong + u"\n已连续输错 5 次,请等 30 秒后再试。"_s);

        // While it waits even the right password is not tried.
        clock.Pass(10);
        QVERIFY(!Try(u"Admin"_s, u"admin"_s));
        QCOMPARE(boxes.Texts().last(), u"此用户名在本机连续输错密码的次数过多,请等 20 秒后再试。"_s);
        QCOMPARE(Session::Current().UserName(), QString());
        // Another name does not wait.
        QVERIFY(!Try(u"Other"_s, u"x"_s));
        QCOMPARE(boxes.Texts().last(), u"错误的用户名!"_s);

        // A sixth wrong one after the wait doubles it.
        clock.Pass(20);
        QVERIFY(!Try(u"Admin"_s, u"guess5"_s));
        QCOMPARE(boxes.Texts().last(), kWrong + u"\n已连续输错 6 次,请等 1 分钟后再试。"_s);
        clock.Pass(59);
        QVERIFY(!Try(u"Admin"_s, u"admin"_s));
        QCOMPARE(boxes.Texts().last(), u"此用户名在本机连续输错密码的次数过多,请等 1 秒后再试。"_s);

        // After the wait the right password logs in as before, and the count starts again.
        clock.Pass(1);
        boxes.Clear();
        QVERIFY(Try(u"Admin"_s, u"admin"_s));
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(Session::Current().UserName(), u"Admin"_s);
        QVERIFY(!Try(u"Admin"_s, u"again"_s));
        QCOMPARE(boxes.Texts(), QStringList{kWrong});

        // The trail has every try by the name typed, and never a password or its hash.
        const QStringList trail = Trail();
        QCOMPARE(trail.filter(u"登录失败|"_s).size(), 8);
        QCOMPARE(trail.filter(u"登录等待|Admin|还须等待 20 秒"_s).size(), 1);
        QCOMPARE(trail.filter(u"登录|Admin|"_s).size(), 1);
        QVERIFY(trail.contains(u"登录失败|ADMIN|密码错误; 已连续输错 5 次,请等 30 秒后再试。"_s));
        QVERIFY(trail.contains(u"登录失败|Other|用户名不存在"_s));
        const QString hash = Db::Value(u"SELECT OptPwd AS v FROM Operator WHERE OptName='Admin'"_s);
        const QString all = trail.join(u'\n');
        QVERIFY(!all.contains(hash));
        for (const QString& secret : {u"admin"_s, u"guess"_s, u"again"_s})
            QVERIFY2(!all.contains(secret), qPrintable(secret));
    }
};
VORIX_TEST(LoginLockoutTest)

#include "tst_LoginLockout.moc"
