#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CBackdropView.h"
#include "app/CDonePane.h"
#include "desk/CLendDlg.h"
#include "manage/CUndoDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CUndoDlg.h"

#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace Shell;

// The status bar's 撤销 beside the line of what the desk did, and Ctrl+Z: the operator's last
// lending or return of today, named and undone with a reason.
class StatusBarUndoTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ResetSession(); }

    void theLastLendingIsUndoneFromTheStatusBar() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID, FilmName, Type) VALUES ('F001', '英雄', 'VCD')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID, Balance) VALUES ('C001', 100)"_s));
        Frame frame;
        QVERIFY(frame.ShowActive());
        QToolButton* undo = frame->UndoButton();
        QVERIFY(!undo->isVisible());
        {
            ModalScript script([](CDialog& dialog) {
                auto* form = qobject_cast<CLendDlg*>(&dialog);
                QVERIFY(form);
                TypeText(form->Form()->clientEdit, u"C001"_s);
                TypeText(form->Form()->filmEdit, u"F001"_s);
                form->OnOK();
            });
            frame->Action(RowOf(&CBackdropView::OnLend))->trigger();
        }
        QVERIFY(undo->isVisible());
        QCOMPARE(Db::Value(u"SELECT printf('%.2f', Balance) AS v FROM Client"_s), u"70.00"_s);
        QStringList named;
        {
            ModalScript script([&named](CDialog& dialog) {
                auto* form = qobject_cast<CUndoDlg*>(&dialog);
                QVERIFY(form);
                named << form->Form()->actionLabel->text();
                form->Form()->reasonEdit->setText(u"拿错了"_s);
                form->OnOK();
            });
            QTest::mouseClick(undo, Qt::LeftButton);
        }
        QCOMPARE(named.size(), 1);
        QVERIFY(named.first().startsWith(u"撤销这笔操作:借出 F001 给 C001"_s));
        QCOMPARE(Db::Value(u"SELECT printf('%.2f', Balance) AS v FROM Client"_s), u"100.00"_s);
        QCOMPARE(Db::Count(u"Record"_s), 0);
        QVERIFY(frame->DonePane()->WholeText().startsWith(u"已撤销 借出 F001 给 C001"_s));
        // Nothing more of his today: Ctrl+Z says so.
        QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(boxes.Texts(), QStringList{u"您今天没有可以撤销的借出或还回。"_s});
    }
};
VORIX_TEST(StatusBarUndoTest)
#include "tst_StatusBarUndo.moc"
