#pragma once
// The application object: start-up, the session of the logged-in operator and the program folder.
#include <QPointer>
#include <QString>

class QApplication;
class CMainFrame;

class CRentalApp {
public:
    virtual ~CRentalApp() = default;

    // Start-up: program folder, interface toolkit, icon, and the main window with the login.
    // Returns false when the program should end at once.
    bool InitInstance(QApplication& app);
    // Runs the event loop until the main window has closed; returns the exit code.
    int Run();

    // The folder of the running executable, whatever the file is called.
    static QString ProgramFolder();
    // Sets m_strAppDir to the program folder and makes it the current directory.
    void EnterProgramFolder();

    // The role test: an administrator's type is exactly "管理员".
    bool IsAdministrator() const;

    // Commands of the application.
    void OnAppAbout();
    // Closes the main window without asking; the program ends.
    void OnAppExit();

    // The session, written only by a successful login.
    QString m_strUserName;
    QString m_strUserType;
    // The program folder; every relative path (the database, the backups) is taken from it.
    QString m_strAppDir;
    // The main window while it exists.
    QPointer<CMainFrame> m_pMainWnd;
};

extern CRentalApp theApp;
