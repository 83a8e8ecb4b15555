#include "app/CommandTable.h"

#include "app/CBackdropView.h"
#include "app/CMainFrame.h"
#include "app/CRentalApp.h"

const std::vector<CommandRow>& Commands::Table() {
    // clang-format off
    static const std::vector<CommandRow> rows = {
        // menu        item text             key       slot label   picture     prompt
        {"系统(&F)",   "退出(&X)",           nullptr,  -1, nullptr, nullptr,    "退出应用程序",           false, &CRentalApp::OnAppExit},
        {"系统(&F)",   "注销(&L)",           nullptr,  -1, nullptr, nullptr,    "注销当前用户",           false, &CMainFrame::OnLogout},
        {"系统(&F)",   nullptr,              nullptr,  -1, nullptr, nullptr,    nullptr,                  false, {}},
        {"系统(&F)",   "设置(&S)...",        nullptr,   8, "设置",  "settings", "系统设置",               false, &CBackdropView::OnSettings},
        {"操作(&O)",   "借出(&B)...",        "Ctrl+B",  0, "租出",  "lend",     "影片借出",               false, &CBackdropView::OnLend},
        {"操作(&O)",   "多片借出(&M)...",    "Ctrl+Shift+B", -1, nullptr, nullptr, "给一位客户一次借出多部影片", false, &CBackdropView::OnLendBasket},
        {"操作(&O)",   "还回(&R)...",        "Ctrl+R",  1, "还回",  "return",   "影片还回",               false, &CBackdropView::OnReturn},
        {"操作(&O)",   "多片还回(&H)...",    "Ctrl+Shift+R", -1, nullptr, nullptr, "一次还回几部影片,一个合计,一次确认", false, &CBackdropView::OnReturnBasket},
        {"操作(&O)",   "更换(&S)...",        "Ctrl+S",  2, "更换",  "exchange", "影片更换",               false, &CBackdropView::OnExchange},
        {"操作(&O)",   "充值(&T)...",        nullptr,  -1, nullptr, nullptr,    "给客户的余额充值",       false, &CBackdropView::OnTopUp},
        {"操作(&O)",   "撤销(&U)...",        "Ctrl+Z", -1, nullptr, nullptr,    "撤销今天的上一笔借出或还回", false, &CBackdropView::OnUndo},
        {"管理(&M)",   "影片(&F)...",        nullptr,   4, "影片",  "films",    "管理影片",               false, &CBackdropView::OnFilms},
        {"管理(&M)",   "客户(&C)...",        nullptr,   5, "客户",  "clients",  "管理客户",               false, &CBackdropView::OnClients},
        {"管理(&M)",   "操作员(&O)...",      nullptr,  -1, nullptr, nullptr,    "管理操作员",             false, &CBackdropView::OnOperators},
        {"管理(&M)",   "租借记录(&R)...",    nullptr,   6, "记录",  "records",  "管理租借记录",           false, &CBackdropView::OnRecords},
        {"管理(&M)",   "未还影片(&U)...",    nullptr,  -1, nullptr, nullptr,    "查看未还的影片",         false, &CBackdropView::OnOutList},
        {"管理(&M)",   "预约(&V)...",        nullptr,  -1, nullptr, nullptr,    "客户预约的影片",         false, &CBackdropView::OnReserve},
        {"管理(&M)",   "日结(&D)...",        nullptr,  -1, nullptr, nullptr,    "一天收付的现金",         false, &CBackdropView::OnDayEnd},
        {"管理(&M)",   "营业报表(&T)...",    nullptr,  -1, nullptr, nullptr,    "各期间的收入、影片、客户和柜台人员报表", false, &CBackdropView::OnReports},
        {"管理(&M)",   "操作日志(&L)...",    nullptr,  -1, nullptr, nullptr,    "查看谁在何时改了什么", false, &CBackdropView::OnAuditTrail},
        {"数据库",     "备份(&B)",           nullptr,   9, "备份",  "backup",   "备份数据库",             false, &CMainFrame::OnBackup},
        {"数据库",     "整理(&C)...",        nullptr,  -1, nullptr, nullptr,    "整理数据库",             false, &CMainFrame::OnCleanup},
        {"查看(&H)",   "工具栏(&T)",         nullptr,  -1, nullptr, nullptr,    "显示或隐藏工具栏\n显隐工具栏", true, &CMainFrame::OnViewToolBar},
        {"查看(&H)",   "状态栏(&S)",         nullptr,  -1, nullptr, nullptr,    "显示或隐藏状态栏\n显隐状态栏", true, &CMainFrame::OnViewStatusBar},
        {"查看(&H)",   "关于 Vorix(&A)...",  nullptr,  10, "关于",  "about",    "显示程序信息，版本号和版权\n关于", false, &CRentalApp::OnAppAbout},
    };
    // clang-format on
    return rows;
}
