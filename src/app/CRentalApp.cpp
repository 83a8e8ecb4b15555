#include "app/CRentalApp.h"

#include "app/Artwork.h"
#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "base/ProgramFolder.h"
#include "toolkit/Interface.h"

#include <QApplication>
#include <QDir>

CRentalApp theApp;

QString CRentalApp::ProgramFolder() {
    return Base::ProgramFolder();
}

void CRentalApp::EnterProgramFolder() {
    m_strAppDir = ProgramFolder();
    // A failure leaves the program in the folder it was started from.
    QDir::setCurrent(m_strAppDir);
}

bool CRentalApp::InitInstance(QApplication& app, const std::vector<CommandRow>& commands) {
    EnterProgramFolder();
    Toolkit::InstallInterface(app);
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
    about.DoModal();
}

void CRentalApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->close();
}
