#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CBackdropView.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

using namespace Shell;

namespace {
// The commands as the shop knows them: menu, item text with its key after a tab, prompt, handler.
struct Expected {
    const char* menu;
    const char* item;
    const char* prompt;
    CommandHandler handler;
};

QList<Expected> ExpectedCommands() {
    return {
        {"系统(&F)", "退出(&X)", "退出应用程序", &CRentalApp::OnAppExit},
        {"系统(&F)", "注销(&L)", "注销当前用户", &CMainFrame::OnLogout},
        {"系统(&F)", "", "", {}},
        {"系统(&F)", "设置(&S)...", "系统设置", &CBackdropView::OnSettings},
        {"操作(&O)", "借出(&B)...\tCtrl+B", "影片借出", &CBackdropView::OnLend},
        {"操作(&O)", "多片借出(&M)...\tCtrl+Shift+B", "给一位客户一次借出多部影片",
         &CBackdropView::OnLendBasket},
        {"操作(&O)", "还回(&R)...\tCtrl+R", "影片还回", &CBackdropView::OnReturn},
        {"操作(&O)", "多片还回(&H)...\tCtrl+Shift+R", "一次还回几部影片,一个合计,一次确认",
         &CBackdropView::OnReturnBasket},
        {"操作(&O)", "更换(&S)...\tCtrl+S", "影片更换", &CBackdropView::OnExchange},
        {"操作(&O)", "充值(&T)...", "给客户的余额充值", &CBackdropView::OnTopUp},
        {"操作(&O)", "撤销(&U)...\tCtrl+Z", "撤销今天的上一笔借出或还回", &CBackdropView::OnUndo},
        {"管理(&M)", "影片(&F)...", "管理影片", &CBackdropView::OnFilms},
        {"管理(&M)", "客户(&C)...", "管理客户", &CBackdropView::OnClients},
        {"管理(&M)", "操作员(&O)...", "管理操作员", &CBackdropView::OnOperators},
        {"管理(&M)", "租借记录(&R)...", "管理租借记录", &CBackdropView::OnRecords},
        {"管理(&M)", "未还影片(&U)...", "查看未还的影片", &CBackdropView::OnOutList},
        {"管理(&M)", "预约(&V)...", "客户预约的影片", &CBackdropView::OnReserve},
        {"管理(&M)", "日结(&D)...", "一天收付的现金", &CBackdropView::OnDayEnd},
        {"管理(&M)", "营业报表(&T)...", "各期间的收入、影片、客户和柜台人员报表", &CBackdropView::OnReports},
        {"管理(&M)", "操作日志(&L)...", "查看谁在何时改了什么", &CBackdropView::OnAuditTrail},
        {"数据库", "备份(&B)", "备份数据库", &CMainFrame::OnBackup},
        {"数据库", "整理(&C)...", "整理数据库", &CMainFrame::OnCleanup},
        {"查看(&H)", "工具栏(&T)", "显示或隐藏工具栏\n显隐工具栏", &CMainFrame::OnViewToolBar},
        {"查看(&H)", "状态栏(&S)", "显示或隐藏状态栏\n显隐状态栏", &CMainFrame::OnViewStatusBar},
        {"查看(&H)", "关于 Vorix(&A)...", "显示程序信息，版本号和版权\n关于", &CRentalApp::OnAppAbout},
    };
}

// The item as a menu shows it: its text, and its key right-aligned after a tab.
QString ShownItem(const QAction* action) {
    if (action->isSeparator())
        return QString();
    const QString key = action->shortcut().toString(QKeySequence::PortableText);
    return key.isEmpty() ? action->text() : action->text() + QLatin1Char('\t') + key;
}

QString Prompt(const QAction* action) {
    if (action->isSeparator())
        return QString();
    // Only "关于" and the bar toggles carry a tooltip part; the others keep Qt's default tooltip.
    QAction plain(action->text());
    plain.setIconText(action->iconText());
    const bool ownTip = action->toolTip() != plain.toolTip();
    return ownTip ? action->statusTip() + QLatin1Char('\n') + action->toolTip() : action->statusTip();
}
} // namespace

class CommandTableTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ResetSession(); }

    void menusAreBuiltFromTheTable() {
        TempShop shop;
        Frame frame;
        const QList<Expected> expected = ExpectedCommands();
        QStringList titles;
        QList<const QAction*> items;
        for (QAction* menuAction : frame->menuBar()->actions()) {
            titles << menuAction->text();
            for (const QAction* item : menuAction->menu()->actions()) {
                items << item;
                QCOMPARE(menuAction->text(), QString::fromUtf8(expected[items.size() - 1].menu));
            }
        }
        QCOMPARE(titles, QStringList({QStringLiteral("系统(&F)"), QStringLiteral("操作(&O)"),
                                      QStringLiteral("管理(&M)"), QStringLiteral("数据库"),
                                      QStringLiteral("查看(&H)")}));
        QCOMPARE(items.size(), expected.size());
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(ShownItem(items[i]), QString::fromUtf8(expected[i].item));
            QCOMPARE(Prompt(items[i]), QString::fromUtf8(expected[i].prompt));
            QVERIFY2(Commands::Table()[i].handler == expected[i].handler, expected[i].item);
            QVERIFY(frame->Action(i) == (items[i]->isSeparator() ? nullptr : items[i]));
            // No command is ever disabled by the shell, and only the bar toggles carry a check.
            QVERIFY(items[i]->isEnabled());
            QCOMPARE(items[i]->isCheckable(),
                     i == RowOf(&CMainFrame::OnViewToolBar) || i == RowOf(&CMainFrame::OnViewStatusBar));
        }
    }

    void keysReachTheDeskCommandsOfTheView() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        QSignalSpy run(frame.get(), &CMainFrame::CommandRun);
        QStringList opened;
        ModalScript script(NoteAndCancel(&opened));
        QTest::keyClick(frame.get(), Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(frame.get(), Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(run.size(), 3);
        QCOMPARE(run.at(0).at(0).toInt(), RowOf(&CBackdropView::OnLend));
        QCOMPARE(run.at(1).at(0).toInt(), RowOf(&CBackdropView::OnReturn));
        QCOMPARE(run.at(2).at(0).toInt(), RowOf(&CBackdropView::OnExchange));
        QCOMPARE(opened, QStringList({QStringLiteral("CLendDlg"), QStringLiteral("CReturnDlg"),
                                      QStringLiteral("CExchangeDlg")}));
        QVERIFY(!frame.Gone());
    }

    void ctrlSIsTheExchangeAndNothingElse() {
        TempShop shop;
        Frame frame;
        QList<QKeySequence> save = QKeySequence::keyBindings(QKeySequence::Save);
        save << QKeySequence(QStringLiteral("Ctrl+S"));
        QList<QAction*> bound;
        for (QAction* action : frame->findChildren<QAction*>())
            for (const QKeySequence& key : action->shortcuts())
                if (save.contains(key))
                    bound << action;
        QCOMPARE(bound, QList<QAction*>({frame->Action(RowOf(&CBackdropView::OnExchange))}));
        // No other command has a key but 撤销's Ctrl+Z and the baskets' Ctrl+Shift+B and Ctrl+Shift+R.
        int keyed = 0;
        for (QAction* action : frame->findChildren<QAction*>())
            keyed += action->shortcuts().isEmpty() ? 0 : 1;
        QCOMPARE(keyed, 6);
    }

    void toolbarSlots() {
        TempShop shop;
        Frame frame;
        QToolBar* bar = frame->ToolBar();
        const QList<QAction*> slotActions = bar->actions();
        QCOMPARE(slotActions.size(), Commands::kToolbarSlots);
        const QList<CommandHandler> handlers = {
            &CBackdropView::OnLend,     &CBackdropView::OnReturn,  &CBackdropView::OnExchange, {},
            &CBackdropView::OnFilms,    &CBackdropView::OnClients, &CBackdropView::OnRecords,  {},
            &CBackdropView::OnSettings, &CMainFrame::OnBackup,     &CRentalApp::OnAppAbout};
        const char* const labels[] = {"租出", "还回", "更换", "",     "影片", "客户",
                                      "记录", "",     "设置", "备份", "关于"};
        for (int slot = 0; slot < Commands::kToolbarSlots; ++slot) {
            QAction* action = slotActions[slot];
            QCOMPARE(action->isSeparator(), slot == 3 || slot == 7);
            if (action->isSeparator())
                continue;
            QCOMPARE(action->iconText(), QString::fromUtf8(labels[slot]));
            QVERIFY(!action->icon().isNull());
            bool found = false;
            for (int row = 0; row < int(Commands::Table().size()); ++row)
                if (frame->Action(row) == action) {
                    QVERIFY2(Commands::Table()[row].handler == handlers[slot], labels[slot]);
                    found = true;
                }
            QVERIFY(found);
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
            QVERIFY(button);
            QVERIFY(button->autoRaise()); // flat
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        }
        QCOMPARE(bar->iconSize(), QSize(32, 32));
        QVERIFY(bar->isMovable());
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QCOMPARE(frame->toolBarArea(bar), Qt::TopToolBarArea);
    }

    void buttonsRunTheirCommands() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        QSignalSpy run(frame.get(), &CMainFrame::CommandRun);
        QStringList opened;
        ModalScript script(NoteAndCancel(&opened));
        const QList<QAction*> slotActions = frame->ToolBar()->actions();
        // The third slot from the right opens the price settings; the next one is the backup.
        QTest::mouseClick(frame->ToolBar()->widgetForAction(slotActions[Commands::kToolbarSlots - 3]),
                          Qt::LeftButton);
        QTest::mouseClick(frame->ToolBar()->widgetForAction(slotActions[Commands::kToolbarSlots - 2]),
                          Qt::LeftButton);
        QCOMPARE(run.size(), 2);
        QCOMPARE(run.at(0).at(0).toInt(), RowOf(&CBackdropView::OnSettings));
        QCOMPARE(run.at(1).at(0).toInt(), RowOf(&CMainFrame::OnBackup));
        QCOMPARE(opened, QStringList{QStringLiteral("CPriceSettingDlg")}); // the backup runs without a dialog
    }

    void onlyAboutHasATooltip() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        QToolBar* bar = frame->ToolBar();
        for (QAction* action : bar->actions()) {
            if (action->isSeparator())
                continue;
            QWidget* button = bar->widgetForAction(action);
            QToolTip::hideText();
            QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(button, &help);
            const QString expected =
                action->iconText() == QStringLiteral("关于") ? QStringLiteral("关于") : QString();
            QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), expected);
        }
        QToolTip::hideText();
    }

    void togglesFollowTheBars() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        QAction* toolbarItem = frame->Action(RowOf(&CMainFrame::OnViewToolBar));
        QAction* statusItem = frame->Action(RowOf(&CMainFrame::OnViewStatusBar));
        QVERIFY(toolbarItem->isChecked());
        QVERIFY(statusItem->isChecked());

        toolbarItem->trigger();
        QVERIFY(frame->ToolBar()->isHidden());
        QVERIFY(!toolbarItem->isChecked());
        toolbarItem->trigger();
        QVERIFY(frame->ToolBar()->isVisible());
        QVERIFY(toolbarItem->isChecked());

        statusItem->trigger();
        QVERIFY(frame->statusBar()->isHidden());
        QVERIFY(!statusItem->isChecked());
        QVERIFY(toolbarItem->isChecked());
        statusItem->trigger();
        QVERIFY(frame->statusBar()->isVisible());
        QVERIFY(statusItem->isChecked());

        // Hidden any other way (the toolbar's own context menu), the check mark follows too.
        frame->ToolBar()->toggleViewAction()->trigger();
        QVERIFY(!toolbarItem->isChecked());
        frame->ToolBar()->toggleViewAction()->trigger();
        QVERIFY(toolbarItem->isChecked());
        // Minimising hides no bar.
        frame->showMinimized();
        QVERIFY(toolbarItem->isChecked());
        QVERIFY(statusItem->isChecked());
    }

    void promptsShowInPaneZeroAndTheIdleTextReturns() {
        TempShop shop;
        Frame frame;
        QVERIFY(frame.ShowActive());
        QStatusBar* bar = frame->statusBar();
        const auto idle = [&] {
            const QList<QLabel*> labels = bar->findChildren<QLabel*>();
            for (QLabel* label : labels)
                if (label->text() == QStringLiteral("欢迎您使用QUPA影像租赁管理系统!"))
                    return label->isVisible() && bar->currentMessage().isEmpty();
            return false;
        };
        QVERIFY(idle());
        // Hovering a menu item or a button shows its prompt, leaving it brings the idle text back.
        frame->Action(RowOf(&CRentalApp::OnAppAbout))->showStatusText(frame->View());
        QCOMPARE(bar->currentMessage(), QStringLiteral("显示程序信息，版本号和版权"));
        QVERIFY(!idle());
        QStatusTipEvent leave{QString()};
        QCoreApplication::sendEvent(frame->View(), &leave);
        QVERIFY(idle());

        QWidget* lend = frame->ToolBar()->widgetForAction(frame->Action(RowOf(&CBackdropView::OnLend)));
        QCOMPARE(lend->statusTip(), QStringLiteral("影片借出"));
        QTest::mouseMove(lend);
        QTRY_COMPARE(bar->currentMessage(), QStringLiteral("影片借出"));
        QTest::mouseMove(frame->View(), frame->View()->rect().center());
        QTRY_VERIFY(idle());
    }
};
VORIX_TEST(CommandTableTest)
#include "tst_CommandTable.moc"
