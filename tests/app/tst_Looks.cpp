#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CAboutDlg.h"
#include "app/CBackdropView.h"
#include "ui_CAboutDlg.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

using namespace Shell;

namespace {
// With VORIX_SHOTS=FOLDER set, the pictures of the shell are saved there to be looked at.
void Keep(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("VORIX_SHOTS");
    if (!folder.isEmpty())
        widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

bool TextFits(const QLabel* label) {
    return label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width();
}
} // namespace

// The shell as the shop sees it: no text cut off, nothing squeezed.
class LooksTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ResetSession(); }

    void mainWindowAfterLogin() {
        TempShop shop;
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('王小明','1','操作员')")));
        Frame frame(LoginAs(QStringLiteral("王小明"), QStringLiteral("1")));
        QVERIFY(frame.ShowActive());
        Keep(frame.get(), QStringLiteral("main"));
        QVERIFY(TextFits(frame->UserPane()));
        for (QLabel* label : frame->statusBar()->findChildren<QLabel*>())
            QVERIFY2(TextFits(label), qPrintable(label->text()));
        // Every toolbar button shows its whole picture and label.
        for (QAction* action : frame->ToolBar()->actions()) {
            QWidget* button = frame->ToolBar()->widgetForAction(action);
            QVERIFY(button->isVisible());
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(action->iconText()));
            QVERIFY2(button->height() >= button->sizeHint().height(), qPrintable(action->iconText()));
            QVERIFY(frame->ToolBar()->geometry().contains(
                button->geometry().translated(frame->ToolBar()->pos())));
        }
        // The picture fills the view, whose free part starts under the toolbar.
        QVERIFY(frame->View()->height() > 300);
        QVERIFY(frame->View()->width() > 600);
    }

    void menus() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        int n = 0;
        for (QAction* menuAction : frame->menuBar()->actions()) {
            QMenu* menu = menuAction->menu();
            menu->popup(frame->mapToGlobal(QPoint(0, 0)));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            Keep(menu, QStringLiteral("menu-%1").arg(++n));
            // Items and their keys fit side by side.
            QVERIFY(menu->width() >= menu->sizeHint().width());
            menu->hide();
        }
    }

    void aboutBox() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        CAboutDlg about(frame.get());
        about.OnInitDialog();
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        Keep(&about, QStringLiteral("about"));
        QVERIFY(TextFits(about.Form()->versionLabel));
    }
};
VORIX_TEST(LooksTest)
#include "tst_Looks.moc"
