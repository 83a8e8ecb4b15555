#pragma once
// The application object: start-up, the program folder, and the session of the logged-in operator,
// which it holds as the current Session for the dialogs.
#include "access/Session.h"
#include "app/Command.h"
#include "app/StartArguments.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QApplication;
class QSettings;
class CMainFrame;

class CRentalApp : public Session {
public:
    // Start-up: interface toolkit, shop folder (of these arguments), icon, and the main window with
    // these commands and the login. Returns false when the program should end at once.
    bool InitInstance(QApplication& app, const std::vector<CommandRow>& commands,
                      const StartArguments& arguments = {});
    // Creates the main window with these commands, its application commands run on this object;
    // the login runs while it is created.
    CMainFrame* OpenMainWindow(const std::vector<CommandRow>& commands);
    // Runs the event loop until the main window has closed; returns the exit code.
    int Run();

    // The folder of the running executable, whatever the file is called.
    static QString ProgramFolder();
    // Finds the shop folder for these arguments (see data/ShopFolder.h), prepares a new shop there
    // and says so, and makes it m_strAppDir and the current directory; a folder given with --shop
    // is remembered in these settings. A folder that cannot be used is reported; then the program
    // should end.
    bool EnterShopFolder(const StartArguments& arguments, const QString& programFolder, QSettings& settings);

    // Commands of the application.
    void OnAppAbout();
    // Closes the main window without asking; the program ends.
    void OnAppExit();

    // The shop folder (the program folder in a portable copy); every relative path (the database,
    // the backups) is taken from it.
    QString m_strAppDir;
    // The main window while it exists.
    QPointer<CMainFrame> m_pMainWnd;
};

extern CRentalApp theApp;
