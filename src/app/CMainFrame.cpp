#include "app/CMainFrame.h"

#include "access/CLoginDlg.h"
#include "access/CPasswordDlg.h"
#include "access/Session.h"
#include "app/Artwork.h"
#include "app/BackupProgress.h"
#include "app/CBackdropView.h"
#include "app/CCleanupDlg.h"
#include "app/CDonePane.h"
#include "app/UndoButton.h"
#include "base/Clock.h"
#include "base/Prompter.h"
#include "base/UserSettings.h"
#include "data/AuditTrail.h"
#include "data/CAdoDb.h"
#include "data/shop/ShopBackup.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <memory>
#include <utility>

namespace {
QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(CMainFrame::kWidth, CMainFrame::kHeight);
}

} // namespace

CMainFrame::CMainFrame(const std::vector<CommandRow>& commands, AppCommandRunner runApp, QWidget* parent)
    : QMainWindow(parent), m_commands(commands), m_runApp(std::move(runApp)),
      m_strHomeDir(QDir::currentPath()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vorix"));
    // Caption, system menu, minimise and close only: the window is neither sized nor maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    const QSize screen = ScreenSize();
    const QRect place = PlaceOnScreen(screen);
    move(place.topLeft());
    FitOuterSize();

    m_wndView = new CBackdropView(this);
    setCentralWidget(m_wndView);
    setFocusProxy(m_wndView);
    m_wndView->setFocus();
    BuildMenus();
    BuildToolBar();
    setWindowIcon(Artwork::AppIcon());
    BuildStatusBar(screen.width());
    connect(m_wndView, &CBackdropView::DeskDone, this, &CMainFrame::ShowDone);
    FollowBars();

    ShowLogin();
}

CMainFrame::~CMainFrame() = default;

QRect CMainFrame::PlaceOnScreen(const QSize& screen) {
    // Integer division truncates toward zero, also for a screen smaller than the window.
    return QRect((screen.width() - kWidth) / 2, (screen.height() - kHeight) / 2, kWidth, kHeight);
}

void CMainFrame::BuildMenus() {
    const std::vector<CommandRow>& rows = m_commands;
    QMenu* menu = nullptr;
    for (int i = 0; i < int(rows.size()); ++i) {
        const CommandRow& row = rows[i];
        if (!menu || menu->title() != Utf8(row.menu))
            menu = menuBar()->addMenu(Utf8(row.menu));
        if (!row.text) {
            menu->addSeparator();
            m_actions.push_back(nullptr);
            continue;
        }
        QAction* action = menu->addAction(Utf8(row.text));
        const QStringList prompt = Utf8(row.prompt).split(QLatin1Char('\n'));
        action->setStatusTip(prompt.first());
        if (prompt.size() > 1)
            action->setToolTip(prompt.at(1));
        if (row.key) {
            action->setShortcut(QKeySequence(QLatin1String(row.key)));
            action->setAutoRepeat(false);
        }
        if (row.picture) {
            action->setIcon(Artwork::ToolbarPicture(row.picture));
            action->setIconVisibleInMenu(false);
            action->setIconText(Utf8(row.label));
        }
        action->setCheckable(row.checkable);
        connect(action, &QAction::triggered, this, [this, i] { Run(i); });
        m_actions.push_back(action);
    }
}

void CMainFrame::BuildToolBar() {
    m_wndToolBar = new QToolBar(QStringLiteral("工具栏"), this);
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    m_wndToolBar->setIconSize(QSize(32, 32));
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    // Slots without a command are separators.
    std::vector<int> rowAt(Commands::kToolbarSlots, -1);
    const std::vector<CommandRow>& rows = m_commands;
    for (int i = 0; i < int(rows.size()); ++i)
        if (rows[i].slot >= 0)
            rowAt.at(rows[i].slot) = i;
    for (int row : rowAt) {
        if (row < 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.at(row);
        m_wndToolBar->addAction(action);
        // Only a prompt with a second part gives its button a tooltip.
        if (!Utf8(rows[row].prompt).contains(QLatin1Char('\n'))) {
            QWidget* button = m_wndToolBar->widgetForAction(action);
            button->installEventFilter(this);
            m_buttonsWithoutTip.insert(button);
        }
    }
    m_wndToolBar->installEventFilter(this);
}

void CMainFrame::BuildStatusBar(int screenWidth) {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    // Pane 0: the idle text, covered by a prompt while one is shown.
    m_wndIdlePane = new QLabel(QStringLiteral("欢迎您使用QUPA影像租赁管理系统!"), bar);
    bar->addWidget(m_wndIdlePane, 1);
    m_wndDonePane = new CDonePane(m_wndIdlePane, bar);
    bar->addWidget(m_wndDonePane, 1);
    m_wndUndoButton = UndoButton::Beside(m_wndDonePane, bar);
    connect(m_wndUndoButton, &QToolButton::clicked, m_wndView, &CBackdropView::OnUndo);
    // Pane 1: the operator, a quarter of the screen wide.
    m_wndUserPane = new QLabel(bar);
    m_wndUserPane->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_wndUserPane->setFixedWidth(screenWidth / 4);
    bar->addPermanentWidget(m_wndUserPane);
    bar->installEventFilter(this);
}

void CMainFrame::ShowDone(const QString& text) {
    constexpr int kDoneMs = 30000;
    m_wndDonePane->Show(text, kDoneMs);
}

void CMainFrame::ShowLogin() {
    // No operator is named while the login box waits, after 注销 too.
    m_wndUserPane->clear();
    m_wndUserPane->repaint();
    CLoginDlg login;
    // The name of the last operator who logged in here is offered again; never a password.
    const QString lastOperator = QStringLiteral("login/lastOperator");
    login.m_strName = UserSettings::Open()->value(lastOperator).toString();
    if (login.DoModal() != IDOK) {
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    } else {
        UserSettings::Open()->setValue(lastOperator, login.m_strName);
        m_strNewPasswordFor = login.m_strFirstPasswordId;
        if (NewPasswordOffered())
            QTimer::singleShot(0, this, &CMainFrame::OfferNewPassword);
    }
    m_wndUserPane->setText(QStringLiteral("当前用户: %1    类型: %2")
                               .arg(Session::Current().UserName(), Session::Current().UserType()));
    m_wndUserPane->repaint();
}

void CMainFrame::OfferNewPassword() {
    if (!NewPasswordOffered())
        return;
    CPasswordDlg changing(this);
    changing.m_strID = std::exchange(m_strNewPasswordFor, QString());
    changing.m_strReason = QStringLiteral("您仍在使用新店的初始密码,知道本软件的人都能用它登录。"
                                          "请现在设一个新密码;也可以取消,以后在 管理 → 操作员 中修改。");
    changing.DoModal();
}

void CMainFrame::Run(int row) {
    const CommandHandler& handler = m_commands.at(row).handler;
    if (const auto* view = std::get_if<ViewHandler>(&handler))
        (m_wndView->**view)();
    else if (const auto* frame = std::get_if<FrameHandler>(&handler))
        (this->**frame)();
    else if (const auto* app = std::get_if<AppHandler>(&handler))
        m_runApp(*app);
    emit CommandRun(row);
}

void CMainFrame::OnLogout() {
    // The session in force stays until another login succeeds.
    AuditTrail::Write(Session::Current().UserName(), AuditTrail::kLogout, Session::Current().UserName(), {});
    ShowLogin();
}

void CMainFrame::OnBackup() {
    // The database the program works on is the current directory's, which start-up and every
    // activation make the program folder; its backups go into dbBak/ beside it.
    const QString target = ShopBackup::TargetPath(QDir::currentPath(), Clock::Now());
    QString reason;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool copied = BackupProgress::CopyShowingProgress(this, ShopConnection::Current(), target, &reason);
    QGuiApplication::restoreOverrideCursor();
    if (copied) {
        AuditTrail::Write(Session::Current().UserName(), AuditTrail::kBackup, QDir(target).dirName(), target);
        Prompter::MessageBox(QStringLiteral("数据库已备份到") + target, QStringLiteral("备份成功!"),
                             MsgIcon::Information);
        return;
    }
    // The box names no reason; whoever looks into a failure finds it on standard error.
    qWarning("backup to %s failed: %s", qPrintable(target), qPrintable(reason));
    Prompter::MessageBox(QStringLiteral("数据库备份到") + target + QStringLiteral("时,失败"),
                         QStringLiteral("备份失败!"), MsgIcon::Warning);
}

void CMainFrame::OnCleanup() {
    CCleanupDlg cleanup(this);
    cleanup.DoModal();
}

void CMainFrame::OnViewToolBar() {
    m_wndToolBar->setVisible(m_wndToolBar->isHidden());
}

void CMainFrame::OnViewStatusBar() {
    statusBar()->setVisible(statusBar()->isHidden());
}

// The two toggles carry a check mark exactly while their bar is shown, however it was hidden.
void CMainFrame::FollowBars() {
    const std::vector<CommandRow>& rows = m_commands;
    for (int i = 0; i < int(rows.size()); ++i) {
        const auto* handler = std::get_if<FrameHandler>(&rows[i].handler);
        if (handler && *handler == &CMainFrame::OnViewToolBar)
            m_actions[i]->setChecked(!m_wndToolBar->isHidden());
        else if (handler && *handler == &CMainFrame::OnViewStatusBar)
            m_actions[i]->setChecked(!statusBar()->isHidden());
    }
}

// The outer size is fixed; the client size follows from the frame the window system draws, which
// is known only once the window is shown.
void CMainFrame::FitOuterSize() {
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize client = QSize(kWidth, kHeight).shrunkBy(frame);
    if (minimumSize() != client || maximumSize() != client)
        setFixedSize(client);
}

bool CMainFrame::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::WindowActivate:
        // Whatever changed the current directory meanwhile, commands run in the program folder.
        QDir::setCurrent(m_strHomeDir);
        FitOuterSize();
        break;
    case QEvent::Show:
    case QEvent::Move:
        FitOuterSize();
        break;
    default:
        break;
    }
    return handled;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_buttonsWithoutTip.contains(watched))
        return true;
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
        (watched == m_wndToolBar || watched == statusBar()))
        FollowBars();
    return QMainWindow::eventFilter(watched, event);
}
