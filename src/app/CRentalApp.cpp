#include "app/CRentalApp.h"

#include "access/CLoginDlg.h"
#include "toolkit/Interface.h"

#include <QApplication>
#include <QDir>

CRentalApp theApp;

bool CRentalApp::IsAdministrator() const {
    return m_strUserType == QStringLiteral("管理员");
}

bool CRentalApp::InitInstance(QApplication& app) {
    Toolkit::InstallInterface(app);
    QApplication::setApplicationDisplayName(QString());
    m_strAppDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(m_strAppDir);
    CLoginDlg login;
    return login.DoModal() == IDOK;
}
