#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "access/COperatorAddDlg.h"
#include "access/COperatorManageDlg.h"
#include "app/CBackdropView.h"
#include "ui_COperatorAddDlg.h"
#include "ui_COperatorManageDlg.h"

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
};
VORIX_TEST(OperatorsMenuTest)
#include "tst_OperatorsMenu.moc"
