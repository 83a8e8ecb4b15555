#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "access/COperatorAddDlg.h"
#include "access/COperatorManageDlg.h"
#include "access/CPasswordDlg.h"
#include "app/CBackdropView.h"
#include "base/PasswordHash.h"
#include "ui_COperatorAddDlg.h"
#include "ui_COperatorManageDlg.h"
#include "ui_CPasswordDlg.h"

namespace {
QString StoredPassword(const QString& name) {
    return Db::Value(QStringLiteral("SELECT OptPwd AS v FROM Operator WHERE OptName='%1'").arg(name));
}
} // namespace

using namespace Shell;

class OperatorsMenuTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetSession(); }

    // An administrator adds an operator from the menu; he logs in and has only his own rights.
    void operatorAddedFromTheMenuLogsInWithHisRights() {
        TempShop shop;
        BoxRecorder boxes;
        Frame frame;
        QVERIFY(frame.ShowActive());
        QStringList opened;
        bool mayAdd = true;
        ModalScript script([&](CDialog& dialog) {
            opened << QString::fromLatin1(dialog.metaObject()->className());
            if (auto* manage = qobject_cast<COperatorManageDlg*>(&dialog)) {
                mayAdd = manage->Form()->addButton->isEnabled();
                if (mayAdd)
                    manage->Form()->addButton->click();
                manage->OnCancel();
            } else if (auto* add = qobject_cast<COperatorAddDlg*>(&dialog)) {
                TypeText(add->Form()->nameEdit, QStringLiteral("小王"));
                add->Form()->typeCombo->setCurrentIndex(1);
                TypeText(add->Form()->passwordEdit, QStringLiteral("pw"));
                TypeText(add->Form()->confirmEdit, QStringLiteral("pw"));
                QTest::mouseClick(add->Form()->okButton, Qt::LeftButton);
            } else {
                LoginAs(QStringLiteral("小王"), QStringLiteral("pw"))(dialog);
            }
        });
        QAction* operators = frame->Action(RowOf(&CBackdropView::OnOperators));
        operators->trigger();
        QCOMPARE(Db::Count(QStringLiteral("Operator WHERE OptName='小王' AND Type='操作员'")), 1);
        frame->OnLogout();
        QCOMPARE(frame->UserPane()->text(), QStringLiteral("当前用户: 小王    类型: 操作员"));
        operators->trigger();
        QVERIFY(!mayAdd);
        QCOMPARE(opened, Texts({"COperatorManageDlg", "COperatorAddDlg", "CLoginDlg", "COperatorManageDlg"}));
        QCOMPARE(boxes.Texts(), QStringList());
    }

    // Only the administrator who still has the shop's first password is asked for a new one; a
    // cancel keeps it.
    void firstPasswordIsOfferedAChange_data() {
        // statement run first, name and password typed, Admin's password afterwards
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<bool>("offered");
        QTest::newRow("Admin, first password") << Texts({"", "Admin", "admin", "admin"}) << true;
        QTest::newRow("name typed in another case") << Texts({"", "ADMIN", "admin", "admin"}) << true;
        QTest::newRow("Admin, his own password")
            << Texts(
                   {"UPDATE Operator SET OptPwd='Admin1' WHERE OptName='Admin'", "Admin", "Admin1", "Admin1"})
            << false;
        QTest::newRow("another operator with the same password")
            << Texts({"INSERT INTO Operator (OptName,OptPwd,Type) VALUES('小王','admin','管理员')", "小王",
                      "admin", "admin"})
            << false;
    }
    void firstPasswordIsOfferedAChange() {
        QFETCH(QStringList, row);
        QFETCH(bool, offered);
        TempShop shop;
        BoxRecorder boxes;
        if (!row[0].isEmpty())
            QVERIFY(Db::Exec(row[0]));
        Frame frame(LoginAs(row[1], row[2]));
        QVERIFY(!frame.Gone());
        QCOMPARE(frame.Offered(), offered ? Texts({"CPasswordDlg"}) : QStringList());
        QVERIFY(!frame->NewPasswordOffered());
        QVERIFY(PasswordHash::Matches(StoredPassword(QStringLiteral("Admin")), row[3]));
        QCOMPARE(boxes.Texts(), QStringList());
    }

    // The offer comes once, after the window appears, says why, and changes the password through
    // its form; the next login with the new password is not asked again.
    void offerAfterTheWindowAppearsChangesThePassword() {
        TempShop shop;
        BoxRecorder boxes;
        QPointer<CMainFrame> frame;
        {
            ModalScript script(LoginAs(QStringLiteral("Admin"), QStringLiteral("admin")));
            frame = theApp.OpenMainWindow(Commands::Table());
        }
        QVERIFY(frame->NewPasswordOffered());
        QStringList reasons;
        bool windowShown = false;
        {
            ModalScript script([&](CDialog& dialog) {
                auto* changing = qobject_cast<CPasswordDlg*>(&dialog);
                QVERIFY(changing);
                windowShown = frame->isVisible();
                QCOMPARE(changing->Form()->nameEdit->text(), QStringLiteral("Admin"));
                QVERIFY(changing->Form()->reasonLabel->isVisibleTo(changing));
                reasons << changing->Form()->reasonLabel->text();
                TypeText(changing->Form()->oldEdit, QStringLiteral("admin"));
                TypeText(changing->Form()->newEdit, QStringLiteral("店长的新密码"));
                TypeText(changing->Form()->confirmEdit, QStringLiteral("店长的新密码"));
                QTest::mouseClick(changing->Form()->okButton, Qt::LeftButton);
            });
            frame->show();
            QTRY_COMPARE(reasons.size(), 1);
            QTest::qWait(20);
            QCOMPARE(reasons.size(), 1);
        }
        QVERIFY(windowShown);
        QVERIFY(reasons.at(0).contains(QStringLiteral("初始密码")));
        QCOMPARE(boxes.Texts(), QStringList({QStringLiteral("密码修改成功!")}));
        QVERIFY(
            PasswordHash::Matches(StoredPassword(QStringLiteral("Admin")), QStringLiteral("店长的新密码")));
        {
            ModalScript script(LoginAs(QStringLiteral("Admin"), QStringLiteral("店长的新密码")));
            frame->OnLogout();
        }
        QVERIFY(!frame->NewPasswordOffered());
        delete frame.data();
    }
};
VORIX_TEST(OperatorsMenuTest)
#include "tst_OperatorsMenu.moc"
