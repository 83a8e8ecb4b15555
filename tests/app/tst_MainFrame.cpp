#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CAboutDlg.h"
#include "app/CBackdropView.h"
#include "app/CDonePane.h"
#include "base/UserSettings.h"
#include "data/shop/ShopFolder.h"
#include "desk/CLendDlg.h"
#include "ui_CAboutDlg.h"
#include "ui_CLendDlg.h"

#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>

using namespace Shell;

namespace {
const QString kAdminPane = QStringLiteral("当前用户: Admin    类型: 管理员");
} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ResetSession(); }

    void placement_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QRect>("window");
        QTest::newRow("1024x768") << QSize(1024, 768) << QRect(192, 144, 640, 480);
        QTest::newRow("800x600") << QSize(800, 600) << QRect(80, 60, 640, 480);
        QTest::newRow("odd sizes") << QSize(1025, 769) << QRect(192, 144, 640, 480);
        QTest::newRow("smaller screen") << QSize(600, 400) << QRect(-20, -40, 640, 480);
        // Truncation toward zero: -1 / 2 is 0, not -1.
        QTest::newRow("one pixel short") << QSize(639, 479) << QRect(0, 0, 640, 480);
        QTest::newRow("three pixels short") << QSize(637, 477) << QRect(-1, -1, 640, 480);
    }
    void placement() {
        QFETCH(QSize, screen);
        QFETCH(QRect, window);
        QCOMPARE(CMainFrame::PlaceOnScreen(screen), window);
    }

    void fixedWindowCentredOnTheScreen() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vorix"));
        QCOMPARE(frame->frameGeometry(), CMainFrame::PlaceOnScreen(screen));
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        const Qt::WindowFlags flags = frame->windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        const QList<QSize> iconSizes = frame->windowIcon().availableSizes();
        for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)})
            QVERIFY(iconSizes.contains(size));
        // The keyboard goes to the view.
        QCOMPARE(QApplication::focusWidget(), frame->View());
        QCOMPARE(frame->centralWidget(), frame->View());
    }

    void statusPanes() {
        TempShop shop;
        Frame frame;
        QCOMPARE(frame->UserPane()->text(), kAdminPane);
        QCOMPARE(frame->UserPane()->width(), QGuiApplication::primaryScreen()->geometry().width() / 4);
        QCOMPARE(frame->UserPane()->minimumWidth(), frame->UserPane()->maximumWidth());
        QVERIFY(frame->statusBar()->findChildren<QLabel*>().size() >= 2);
    }

    void logoutAsAnotherOperator() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('小王','x%2y','操作员')")));
        Frame frame;
        QVERIFY(frame.ShowActive());
        {
            // A wrong password first: the form stays, the session is still Admin's, and no operator
            // is named while the form waits.
            int shown = 0;
            ModalScript script([&](CDialog& dialog) {
                ++shown;
                auto& login = static_cast<CLoginDlg&>(dialog);
                login.Form()->nameEdit->clear();
                TypeText(login.Form()->nameEdit, QStringLiteral("小王"));
                TypeText(login.Form()->passwordEdit, QStringLiteral("wrong"));
                QTest::mouseClick(login.Form()->okButton, Qt::LeftButton);
                QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
                QCOMPARE(frame->UserPane()->text(), QString());
                login.Form()->passwordEdit->clear();
                TypeText(login.Form()->passwordEdit, QStringLiteral("x%2y"));
                QTest::mouseClick(login.Form()->okButton, Qt::LeftButton);
            });
            frame->Action(RowOf(&CMainFrame::OnLogout))->trigger();
            QCOMPARE(shown, 1);
        }
        QCOMPARE(boxes.Texts(), QStringList({QStringLiteral("密码验证失败!")}));
        QCOMPARE(frame->UserPane()->text(), QStringLiteral("当前用户: 小王    类型: 操作员"));
        QCOMPARE(Session::Current().UserName(), QStringLiteral("小王"));
        QVERIFY(!Session::Current().IsAdministrator());
        QTest::qWait(20);
        QVERIFY(!frame.Gone());
    }

    void cancelledFirstLoginClosesTheShownWindow() {
        TempShop shop;
        Frame frame(CancelLogin());
        // Creation goes on and the window is shown; the close comes with the event loop.
        QVERIFY(!frame.Gone());
        QCOMPARE(frame->UserPane()->text(), QStringLiteral("当前用户:     类型: "));
        frame->show();
        QVERIFY(frame->isVisible());
        QTRY_VERIFY(frame.Gone());
        QCOMPARE(Session::Current().UserName(), QString());
    }

    void cancelledLogoutKeepsTheSessionAndCloses() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        {
            ModalScript script(CancelLogin());
            frame->OnLogout();
        }
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
        QCOMPARE(frame->UserPane()->text(), kAdminPane);
        QTRY_VERIFY(frame.Gone());
    }

    void exitClosesWithoutAsking() {
        TempShop shop;
        BoxRecorder boxes;
        Frame frame;
        QVERIFY(frame.ShowActive());
        frame->Action(RowOf(&CRentalApp::OnAppExit))->trigger();
        QTRY_VERIFY(frame.Gone());
        QCOMPARE(boxes.Boxes().size(), 0);
        QVERIFY(theApp.m_pMainWnd.isNull());
    }

    void activationReturnsToTheProgramFolder() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        QTemporaryDir elsewhere;
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QDir::setCurrent(elsewhere.path());
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QCOMPARE(Canonical(QDir::currentPath()), Canonical(shop.Dir()));
        // Deactivating leaves the current directory alone.
        QDir::setCurrent(elsewhere.path());
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(Canonical(QDir::currentPath()), Canonical(elsewhere.path()));
    }

    void aboutBox() {
        TempShop shop;
        Frame frame;
        QString title, line, button;
        bool hasIcon = false;
        int result = 0;
        {
            ModalScript script([&](CDialog& dialog) {
                auto* about = qobject_cast<CAboutDlg*>(&dialog);
                QVERIFY(about);
                title = about->windowTitle();
                line = about->Form()->versionLabel->text();
                button = about->Form()->okButton->text();
                hasIcon = !about->Form()->iconLabel->pixmap().isNull();
                QVERIFY(about->Form()->okButton->isDefault());
                QTest::mouseClick(about->Form()->okButton, Qt::LeftButton);
                result = about->Result();
            });
            frame->Action(RowOf(&CRentalApp::OnAppAbout))->trigger();
        }
        QCOMPARE(title, QStringLiteral("关于 Vorix"));
        QCOMPARE(line, QStringLiteral("QUPA音像租赁管理系统1.0"));
        QCOMPARE(button, QStringLiteral("确定"));
        QVERIFY(hasIcon);
        QCOMPARE(result, int(IDOK));
    }

    // The login after 注销 offers the last operator's name, and only the name is kept.
    void loginOffersTheLastOperatorsName() {
        TempShop shop;
        BoxRecorder boxes;
        Frame frame;
        QString name;
        QString password;
        bool passwordHasFocus = false;
        {
            ModalScript script([&](CDialog& dialog) {
                auto& login = static_cast<CLoginDlg&>(dialog);
                name = login.Form()->nameEdit->text();
                password = login.Form()->passwordEdit->text();
                passwordHasFocus = login.focusWidget() == login.Form()->passwordEdit; // the form is not shown
                LoginAs(QStringLiteral("Admin"), QStringLiteral("admin"))(dialog);
            });
            frame->Action(RowOf(&CMainFrame::OnLogout))->trigger();
        }
        QCOMPARE(name, QStringLiteral("Admin"));
        QCOMPARE(password, QString());
        QVERIFY(passwordHasFocus);
        const auto settings = UserSettings::Open();
        for (const QString& key : settings->allKeys())
            QVERIFY2(!settings->value(key).toString().contains(QStringLiteral("admin"), Qt::CaseSensitive),
                     qPrintable(key));
    }

    // After a lending the status bar says what was lent to whom, and the charge, in a label that
    // a screen reader reads whole; a cancelled form says nothing. A text too long for the bar is
    // elided in the middle and is whole in the tooltip and the accessible name.
    void statusBarTellsWhatTheDeskDid() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Film (FilmID, FilmName, Type) VALUES ('F001', '英雄', 'VCD')")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Client (ClientID, Balance) VALUES ('C001', 100)")));
        Frame frame;
        QVERIFY(frame.ShowActive());
        CDonePane* pane = frame->DonePane();
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(pane);
        QVERIFY(reader);
        const int lend = RowOf(&CBackdropView::OnLend);
        {
            ModalScript script([](CDialog& dialog) { dialog.OnCancel(); });
            frame->Action(lend)->trigger();
        }
        QVERIFY(!pane->isVisible());
        {
            ModalScript script([](CDialog& dialog) {
                auto* form = qobject_cast<CLendDlg*>(&dialog);
                QVERIFY(form);
                TypeText(form->Form()->clientEdit, QStringLiteral("C001"));
                TypeText(form->Form()->filmEdit, QStringLiteral("F001"));
                form->OnOK();
            });
            frame->Action(lend)->trigger();
        }
        QCOMPARE(boxes.Texts(), QStringList());
        const QString done = QStringLiteral("已借出 F001《英雄》给 C001,扣款 30.00 元,余额 70.00 元");
        QVERIFY(pane->isVisible());
        QCOMPARE(reader->text(QAccessible::Name), done);
        QVERIFY(!reader->state().invisible);
        QCOMPARE(pane->toolTip(), done);
        // All it shows fits, beside the operator's pane.
        const QLabel* user = frame->UserPane();
        const auto wholeInView = [pane, user] {
            return pane->fontMetrics().horizontalAdvance(pane->text()) <= pane->contentsRect().width() &&
                   pane->width() > 200 && pane->geometry().right() < user->geometry().left();
        };
        QVERIFY(wholeInView());
        QVERIFY(pane->text() == done || pane->text().contains(QChar(0x2026)));

        const QString longer =
            done + QStringLiteral(";") + QString(60, QChar(0x5F71)) + QStringLiteral("片尾");
        frame->ShowDone(longer);
        QCOMPARE(reader->text(QAccessible::Name), longer);
        QCOMPARE(pane->toolTip(), longer);
        QVERIFY(wholeInView());
        QVERIFY(pane->text().startsWith(QStringLiteral("已借出")));
        QVERIFY(pane->text().endsWith(QStringLiteral("片尾")));
        QVERIFY(pane->text().contains(QChar(0x2026)));
    }
};
VORIX_TEST(MainFrameTest)
#include "tst_MainFrame.moc"
