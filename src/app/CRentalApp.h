#pragma once
// The application object: the session of the logged-in operator and the program folder.
#include <QString>

class QApplication;
class CMainFrame;

class CRentalApp {
public:
    virtual ~CRentalApp() = default;

    // Start-up: program folder, interface toolkit, main window with the login.
    // Returns false when the program should end at once.
    bool InitInstance(QApplication& app);

    // The role test: an administrator's type is exactly "管理员".
    bool IsAdministrator() const;

    // The session, written only by a successful login.
    QString m_strUserName;
    QString m_strUserType;
    // The folder of the running executable, whatever the file is called.
    QString m_strAppDir;
};

extern CRentalApp theApp;
