#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "access/COperatorManageDlg.h"
#include "access/CPasswordDlg.h"
#include "app/CAboutDlg.h"
#include "app/CBackdropView.h"
#include "desk/CLendDlg.h"
#include "manage/CClientManageDlg.h"
#include "manage/CDayEndDlg.h"
#include "manage/CFilmManageDlg.h"
#include "ui_CAboutDlg.h"
#include "ui_CClientManageDlg.h"
#include "ui_CDayEndDlg.h"
#include "ui_CFilmManageDlg.h"
#include "ui_CLendDlg.h"
#include "ui_COperatorManageDlg.h"
#include "ui_CPasswordDlg.h"

#include <QAbstractItemView>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <vector>

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

// The smallest screen still found at a shop counter. ctest gives this test a screen of that size.
constexpr QSize kCounterScreen(1024, 768);
// The window system's title bar above a window: the offscreen screen draws none, a desktop does.
constexpr int kTitleBar = 32;

// How a window is reached once Admin is logged in: the command of the main window that opens the
// first dialog, then in each dialog what opens the next one. The last dialog opened is looked at.
using Step = std::function<void(CDialog&)>;
struct Route {
    const char* window;
    int command; // a row of the command table; -1 for the main window and the login
    std::vector<Step> steps;
};

void Press(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

QString Misfits(QWidget* window, const QString& name);

const std::vector<Route>& Routes() {
    static const std::vector<Route> routes = {
        {"CMainFrame", -1, {}},
        {"CLoginDlg", -1, {}},
        {"CLendDlg", RowOf(&CBackdropView::OnLend), {}},
        {"CLendBasketDlg", RowOf(&CBackdropView::OnLendBasket), {}},
        {"CReturnDlg", RowOf(&CBackdropView::OnReturn), {}},
        {"CReturnBasketDlg", RowOf(&CBackdropView::OnReturnBasket), {}},
        {"CExchangeDlg", RowOf(&CBackdropView::OnExchange), {}},
        {"CPickDlg", RowOf(&CBackdropView::OnLend), {[](CDialog& d) {
             QTest::keyClick(static_cast<CLendDlg&>(d).Form()->filmEdit, Qt::Key_F4);
         }}},
        {"CPriceSettingDlg", RowOf(&CBackdropView::OnSettings), {}},
        {"CReceiptSettingDlg", RowOf(&CBackdropView::OnSettings), {[](CDialog& d) {
             Press(d.findChild<QPushButton*>(QStringLiteral("receiptButton")));
         }}},
        {"CLateChargeDlg", RowOf(&CBackdropView::OnSettings), {[](CDialog& d) {
             Press(d.findChild<QPushButton*>(QStringLiteral("lateChargeButton")));
         }}},
        {"CFilmManageDlg", RowOf(&CBackdropView::OnFilms), {}},
        {"CFilmEditDlg", RowOf(&CBackdropView::OnFilms), {[](CDialog& d) {
             Press(static_cast<CFilmManageDlg&>(d).Form()->modifyButton);
         }}},
        {"CClientManageDlg", RowOf(&CBackdropView::OnClients), {}},
        {"CClientEditDlg", RowOf(&CBackdropView::OnClients), {[](CDialog& d) {
             Press(static_cast<CClientManageDlg&>(d).Form()->modifyButton);
         }}},
        {"CRecordManageDlg", RowOf(&CBackdropView::OnRecords), {}},
        {"COutListDlg", RowOf(&CBackdropView::OnOutList), {}},
        {"CReserveDlg", RowOf(&CBackdropView::OnReserve), {}},
        {"CAuditDlg", RowOf(&CBackdropView::OnAuditTrail), {}},
        // The day's first 日结 asks for the opening float, looked at on the way; put off, it is
        // asked again next time.
        {"CDayEndDlg", RowOf(&CBackdropView::OnDayEnd), {[](CDialog& d) {
             QCOMPARE(QString::fromLatin1(d.metaObject()->className()), QStringLiteral("CFloatDlg"));
             const QString misfits = Misfits(&d, QStringLiteral("CFloatDlg"));
             QVERIFY2(misfits.isEmpty(), qPrintable(misfits));
         }}},
        {"CLedgerDlg",
         RowOf(&CBackdropView::OnDayEnd),
         {[](CDialog&) {}, [](CDialog& d) { Press(static_cast<CDayEndDlg&>(d).Form()->detailButton); }}},
        {"CTopUpDlg", RowOf(&CBackdropView::OnTopUp), {}},
        {"COperatorManageDlg", RowOf(&CBackdropView::OnOperators), {}},
        {"COperatorAddDlg", RowOf(&CBackdropView::OnOperators), {[](CDialog& d) {
             Press(static_cast<COperatorManageDlg&>(d).Form()->addButton);
         }}},
        {"CPasswordDlg", RowOf(&CBackdropView::OnOperators), {[](CDialog& d) {
             auto& manage = static_cast<COperatorManageDlg&>(d);
             CDataList* list = manage.Form()->operatorList;
             list->setCurrentIndex(list->model()->index(0, list->modelColumn()));
             Press(manage.Form()->modifyButton);
         }}},
        {"CCleanupDlg", RowOf(&CMainFrame::OnCleanup), {}},
        {"CAboutDlg", RowOf(&CRentalApp::OnAppAbout), {}},
    };
    return routes;
}

// A shop with a little of everything, so that grids and editors show real rows.
void FillShop() {
    for (const char* sql : {
             "INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark) VALUES"
             "('D0001','无间道','刘德华 梁朝伟','DVD','动作片','港台','2005-11-20',12,'双碟装'),"
             "('V0002','大话西游之月光宝盒','周星驰','VCD','喜剧片','港台','2005-12-01',30,''),"
             "('D0003','指环王：护戒使者','伊利亚·伍德','DVD','科幻片','欧美','2006-01-15',7,'盒有裂纹')",
             "INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) VALUES"
             "('C001','13800138000','2005-10-01',100,58.5,'老客户'),"
             "('C002','0571-87654321','2006-02-03',50,50,'')",
             "INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) VALUES"
             "('C001','D0001','月租',0,'2006-03-01','','Admin'),"
             "('C002','V0002','零租',20,'2006-02-10','2006-02-12','Admin')",
             "INSERT INTO Operator (OptName,OptPwd,Type) VALUES('王小明','1','操作员')",
         })
        QVERIFY(Db::Exec(QString::fromUtf8(sql)));
}

// With VORIX_SHOTS set, a picture of the whole screen: the windows shown, each over the one that
// opened it. (The offscreen screen's own picture would show windows not yet drawn.)
void KeepScreen(QScreen* screen, const QString& name) {
    const QString folder = qEnvironmentVariable("VORIX_SHOTS");
    if (folder.isEmpty())
        return;
    const auto depth = [](const QWidget* window) {
        int n = 0;
        for (const QWidget* w = window->parentWidget(); w; w = w->parentWidget())
            ++n;
        return n;
    };
    QList<QWidget*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && type != Qt::Popup && type != Qt::ToolTip)
            windows << window;
    }
    std::stable_sort(windows.begin(), windows.end(),
                     [&](const QWidget* a, const QWidget* b) { return depth(a) < depth(b); });
    QPixmap picture(screen->size());
    picture.fill(Qt::black);
    QPainter painter(&picture);
    for (QWidget* window : windows)
        painter.drawPixmap(window->geometry().topLeft(), window->grab());
    painter.end();
    picture.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

// Shows the window, keeps a picture of the whole screen and says what does not fit the counter's
// screen; empty when all does.
QString Misfits(QWidget* window, const QString& name) {
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return QStringLiteral("never shown");
    KeepScreen(window->screen(), name);

    const QRect frame = window->frameGeometry();
    if (frame.width() > kCounterScreen.width() || frame.height() + kTitleBar > kCounterScreen.height())
        return QStringLiteral("the frame is %1×%2").arg(frame.width()).arg(frame.height());
    if (!window->screen()->availableGeometry().contains(frame))
        return QStringLiteral("opens off the screen at %1,%2").arg(frame.x()).arg(frame.y());
    // Each button and grid lies whole inside every widget around it, up to the window.
    QList<QWidget*> parts;
    for (QPushButton* button : window->findChildren<QPushButton*>())
        parts << button;
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        if (!qobject_cast<QHeaderView*>(view)) // a grid's header is looked at with its grid
            parts << view;
    }
    for (QWidget* part : parts) {
        if (part->window() != window || !part->isVisibleTo(window))
            continue;
        const QString what = part->objectName();
        if (part->width() < part->minimumSizeHint().width() ||
            part->height() < part->minimumSizeHint().height())
            return what + QStringLiteral(" is squeezed");
        QRect rect = part->geometry();
        for (QWidget* outer = part->parentWidget(); outer != window; outer = outer->parentWidget()) {
            if (!outer->rect().contains(rect))
                return what + QStringLiteral(" is cut off by ") + outer->objectName();
            rect.translate(outer->pos());
        }
        if (!window->rect().contains(rect))
            return what + QStringLiteral(" lies outside the window");
    }
    return QString();
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

    // Every window opens whole on the counter's screen: the frame with room for a title bar, every
    // button and grid inside it and at its full size.
    void everyWindowFitsTheCounterScreen_data() {
        QTest::addColumn<int>("route");
        for (int i = 0; i < int(Routes().size()); ++i)
            QTest::newRow(Routes()[i].window) << i;
    }
    void everyWindowFitsTheCounterScreen() {
        QFETCH(int, route);
        const Route& way = Routes()[route];
        const QString window = QString::fromLatin1(way.window);
        QVERIFY2(
            QGuiApplication::primaryScreen()->size() == kCounterScreen,
            "run on a 1024×768 screen (QT_QPA_PLATFORM=offscreen:configfile=tests/app/CounterScreen.json)");
        TempShop shop;
        BoxRecorder boxes;
        FillShop();
        QString misfits = QStringLiteral("not opened");
        const CDialog::ModalRunner login = LoginAs(QStringLiteral("Admin"), QStringLiteral("admin"));
        Frame frame([&](CDialog& dialog) {
            if (window == QLatin1String("CLoginDlg"))
                misfits = Misfits(&dialog, window);
            login(dialog);
        });
        QVERIFY(frame.ShowActive());
        if (window == QLatin1String("CMainFrame"))
            misfits = Misfits(frame.get(), window);
        if (way.command >= 0) {
            size_t depth = 0;
            ModalScript script([&](CDialog& dialog) {
                const size_t at = depth++;
                if (at < way.steps.size()) {
                    dialog.show(); // under the window it opens, as the shop sees them
                    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
                    way.steps[at](dialog);
                } else {
                    QCOMPARE(QString::fromLatin1(dialog.metaObject()->className()), window);
                    misfits = Misfits(&dialog, window);
                }
                dialog.OnCancel();
            });
            frame->Action(way.command)->trigger();
            QCOMPARE(depth, way.steps.size() + 1);
        }
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits));
        QCOMPARE(boxes.Texts(), QStringList());
    }

    // 修改密码 as it is offered after the first login, with its line of reason wrapped, not cut.
    void passwordChangeOfferedAfterTheFirstLogin() {
        TempShop shop;
        QPointer<CMainFrame> frame;
        {
            ModalScript script(LoginAs(QStringLiteral("Admin"), QStringLiteral("admin")));
            frame = theApp.OpenMainWindow(Commands::Table());
        }
        QString misfits = QStringLiteral("not offered");
        {
            ModalScript script([&](CDialog& dialog) {
                misfits = Misfits(&dialog, QStringLiteral("CPasswordDlg-offered"));
                const QLabel* reason = static_cast<CPasswordDlg&>(dialog).Form()->reasonLabel;
                if (reason->heightForWidth(reason->width()) > reason->height())
                    misfits = QStringLiteral("the reason is cut off");
                dialog.OnCancel();
            });
            frame->show();
            QTRY_VERIFY(!frame->NewPasswordOffered());
        }
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits));
        delete frame.data();
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
