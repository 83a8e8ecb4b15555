#pragma once
// The main window: a fixed-size frame with the menus, the toolbar, the two-pane status bar and the
// background view. The login runs while it is created.
#include "app/Command.h"

#include <QMainWindow>
#include <QSet>
#include <vector>

class CBackdropView;
class CDonePane;
class QLabel;
class QToolBar;
class QToolButton;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The window's outer size, frame included.
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    // Creates the window with these commands and runs the login; application commands are handed
    // to runApp. A cancelled login closes the window as soon as the event loop runs. Commands run
    // in the folder that is current now, the program folder.
    CMainFrame(const std::vector<CommandRow>& commands, AppCommandRunner runApp, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Outer geometry of the window on a screen of the given size: centred, possibly off the edges.
    static QRect PlaceOnScreen(const QSize& screen);

    // Commands of the frame.
    void OnLogout();
    void OnBackup();
    void OnCleanup();
    void OnViewToolBar();
    void OnViewStatusBar();

    // After a login as the administrator with the first password, opens 修改密码 for him once, with
    // a line saying why; the login queues it, so that it comes after the window appears. Does
    // nothing when no such login is waiting for it.
    void OfferNewPassword();
    bool NewPasswordOffered() const { return !m_strNewPasswordFor.isEmpty(); }

    CBackdropView* View() const { return m_wndView; }
    QToolBar* ToolBar() const { return m_wndToolBar; }
    // Status pane 1: the logged-in operator.
    QLabel* UserPane() const { return m_wndUserPane; }
    // Pane 0 while it tells what the desk has just done.
    CDonePane* DonePane() const { return m_wndDonePane; }
    // Beside it while it shows: 撤销, the operator's last lending or return of today.
    QToolButton* UndoButton() const { return m_wndUndoButton; }
    // Tells in pane 0 what the desk has just done, for a while.
    void ShowDone(const QString& text);
    // The action of row `row` of the command table (null for a separator).
    QAction* Action(int row) const { return m_actions.at(row); }

signals:
    // A command's handler has run; `row` is its row of the command table.
    void CommandRun(int row);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar(int screenWidth);
    void ShowLogin();
    void Run(int row);
    void FitOuterSize();
    void FollowBars();

    const std::vector<CommandRow>& m_commands;
    AppCommandRunner m_runApp;
    QString m_strHomeDir;
    QString m_strNewPasswordFor; // row key of the administrator to ask, while the offer waits
    CBackdropView* m_wndView = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QLabel* m_wndIdlePane = nullptr;
    CDonePane* m_wndDonePane = nullptr;
    QToolButton* m_wndUndoButton = nullptr;
    QLabel* m_wndUserPane = nullptr;
    std::vector<QAction*> m_actions;
    QSet<QObject*> m_buttonsWithoutTip;
};
