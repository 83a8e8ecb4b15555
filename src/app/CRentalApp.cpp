#include "app/CRentalApp.h"

#include "app/Artwork.h"
#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "base/ProgramFolder.h"
#include "base/Prompter.h"
#include "base/UserSettings.h"
#include "data/CAdoDb.h"
#include "data/COperatorInfo.h"
#include "data/shop/ShopFolder.h"
#include "toolkit/Interface.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSettings>

CRentalApp theApp;

namespace {
// A server's connection text as a box may show it: without its password.
QString WithoutPassword(QString info) {
    info.replace(QRegularExpression(QStringLiteral("(password\\s*=\\s*)('[^']*'|\\S+)"),
                                    QRegularExpression::CaseInsensitiveOption),
                 QStringLiteral("\\1***"));
    info.replace(QRegularExpression(QStringLiteral("(://[^:/@]*):[^@]*@")), QStringLiteral("\\1:***@"));
    return info;
}

// vorix --server TEXT: the shop of folder moves onto the database server TEXT names, once it has
// answered as a shop; an empty TEXT brings the shop back to its file. False leaves the settings
// as they were, after a box that says why.
bool SetServer(const QString& folder, const QString& info) {
    QString error;
    if (!info.isEmpty()) {
        EngineError failure;
        if (!QDir().mkpath(folder) || !Engine::Open(ShopConnection::ForServer(info), &failure)) {
            Prompter::MessageBox(QStringLiteral("无法使用这个数据库服务器:\n%1\n\n%2\n\n店铺的设置没有改变。")
                                     .arg(WithoutPassword(info), EngineError::Describe(failure)),
                                 QString(), MsgIcon::Error);
            return false;
        }
    }
    if (!ShopConnection::SaveServer(folder, info, &error)) {
        Prompter::MessageBox(error, QString(), MsgIcon::Error);
        return false;
    }
    Prompter::MessageBox(
        info.isEmpty()
            ? QStringLiteral("这个店铺今后使用本机的店铺文件 cddata.mdb。")
            : QStringLiteral("这个店铺今后使用数据库服务器:\n%1\n\n以后启动 Vorix 不必再写 --server。"
                             "要改回本机的店铺文件,用 vorix --server \"\" 启动。")
                      .arg(WithoutPassword(info)) +
                  (WithoutPassword(info) == info
                       ? QString()
                       : QStringLiteral(
                             "\n\n密码以明文保存在店铺文件夹的 vorix-server.conf 里(只有本用户能读)。"
                             "更安全的做法:把密码写进 ~/.pgpass,或在 ~/.pg_service.conf 里写好连接,"
                             "用 --server \"service=名称\"。")),
        QString(), MsgIcon::Information);
    return true;
}
// A shop that others on the computer could read becomes its owner's alone, and says so once.
void TightenPermissions(const QString& folder) {
    const QStringList tightened = ShopFolder::TightenPermissions(folder);
    if (tightened.isEmpty())
        return;
    Prompter::MessageBox(
        QStringLiteral("店铺数据原来这台电脑上的其他用户也能读取。为了保护店铺数据,下列文件和文件夹已改为"
                       "只有本用户可以使用:\n%1")
            .arg(tightened.join(QLatin1Char('\n'))),
        QString(), MsgIcon::Information);
}
} // namespace

QString CRentalApp::ProgramFolder() {
    return Base::ProgramFolder();
}

bool CRentalApp::EnterShopFolder(const StartArguments& arguments, const QString& programFolder,
                                 QSettings& settings) {
    const ShopFolder::Choice choice = ShopFolder::Choose(arguments.shop, programFolder, settings);
    if (arguments.serverGiven && !SetServer(choice.folder, arguments.server))
        return false;
    // Every connection of the program goes to the server the shop's settings name, if any.
    const QString info = ShopConnection::LoadServer(choice.folder);
    ShopConnection::Use(info.isEmpty() ? QString() : ShopConnection::ForServer(info));
    if (choice.portable) {
        TightenPermissions(choice.folder);
        m_strAppDir = choice.folder;
        QDir::setCurrent(m_strAppDir);
        return true;
    }
    bool prepared = false;
    QString error;
    if (!ShopFolder::Ready(choice.folder, &prepared, &error) || !QDir::setCurrent(choice.folder)) {
        Prompter::MessageBox(
            QStringLiteral("无法使用店铺数据文件夹:\n%1\n\n%2\n请换一个可以写入的文件夹,用 --shop 文件夹 "
                           "启动 Vorix。")
                .arg(QDir::toNativeSeparators(choice.folder),
                     error.isEmpty() ? QStringLiteral("无法进入这个文件夹。") : error),
            QString(), MsgIcon::Error);
        return false;
    }
    m_strAppDir = choice.folder;
    TightenPermissions(choice.folder);
    if (choice.given)
        ShopFolder::Remember(settings, choice.folder);
    if (prepared)
        Prompter::MessageBox(
            QStringLiteral("这是第一次在这里使用 Vorix,已建立新的店铺数据:\n%1\n\n首次登陆:用户 %2,密码 %3。"
                           "登陆后请立即修改密码。")
                .arg(QDir::toNativeSeparators(choice.folder), QLatin1String(COperatorInfo::kFirstAdmin),
                     QLatin1String(COperatorInfo::kFirstPassword)),
            QString(), MsgIcon::Information);
    return true;
}

bool CRentalApp::InitInstance(QApplication& app, const std::vector<CommandRow>& commands,
                              const StartArguments& arguments) {
    Toolkit::InstallInterface(app);
    if (!EnterShopFolder(arguments, ProgramFolder(), *UserSettings::Open()))
        return false;
    // Window titles stay exactly as given ("Vorix", "用户登陆"), without the program's name added.
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(Artwork::AppIcon());
    // The frame runs the login while it is created; a cancelled login has already asked it to
    // close, which ends the program once the event loop runs.
    OpenMainWindow(commands)->show();
    return true;
}

CMainFrame* CRentalApp::OpenMainWindow(const std::vector<CommandRow>& commands) {
    auto* frame = new CMainFrame(commands, [this](AppHandler handler) { (this->*handler)(); });
    m_pMainWnd = frame;
    return frame;
}

int CRentalApp::Run() {
    const int code = QApplication::exec();
    // Normally gone already: the frame deletes itself on closing.
    delete m_pMainWnd.data();
    return code;
}

void CRentalApp::OnAppAbout() {
    CAboutDlg about(m_pMainWnd);
    about.m_strShopFolder = m_strAppDir;
    about.DoModal();
}

void CRentalApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->close();
}
