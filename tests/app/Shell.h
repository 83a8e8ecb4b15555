#pragma once
// Shared steps of the shell's tests: scripted logins and a main window that cleans up after itself.
#include "Shop.h"

#include "access/CLoginDlg.h"
#include "access/Session.h"
#include "app/CMainFrame.h"
#include "app/CRentalApp.h"
#include "app/CommandTable.h"
#include "ui_CLoginDlg.h" // each test source includes it too, so that it is generated

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTest>

namespace Shell {
// A login script that types a name and password and presses "登陆".
inline CDialog::ModalRunner LoginAs(const QString& name, const QString& password) {
    return [name, password](CDialog& dialog) {
        auto* login = qobject_cast<CLoginDlg*>(&dialog);
        QVERIFY(login);
        login->Form()->nameEdit->clear(); // the last operator's name may stand there
        TypeText(login->Form()->nameEdit, name);
        TypeText(login->Form()->passwordEdit, password);
        QTest::mouseClick(login->Form()->okButton, Qt::LeftButton);
    };
}

// A login script that presses "退出".
inline CDialog::ModalRunner CancelLogin() {
    return [](CDialog& dialog) {
        auto* login = qobject_cast<CLoginDlg*>(&dialog);
        QVERIFY(login);
        QTest::mouseClick(login->Form()->cancelButton, Qt::LeftButton);
    };
}

// A script that notes the class of each dialog opened and cancels it.
inline CDialog::ModalRunner NoteAndCancel(QStringList* opened) {
    return [opened](CDialog& dialog) {
        *opened << QString::fromLatin1(dialog.metaObject()->className());
        dialog.OnCancel();
    };
}

inline QString Canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

inline void ResetSession() {
    Session::Current().SignOut();
}

// The row of the command table with this handler.
template <typename Handler> int RowOf(Handler handler) {
    const std::vector<CommandRow>& rows = Commands::Table();
    for (int i = 0; i < int(rows.size()); ++i)
        if (const auto* h = std::get_if<Handler>(&rows[i].handler); h && *h == handler)
            return i;
    return -1;
}

// The main window, created with a scripted first login; deleted at the end unless it closed itself.
class Frame {
public:
    // The current folder, a test's shop, is the program folder the window returns to.
    // A login as Admin with the first password is offered 修改密码 after it; the offer is cancelled
    // here, before the test goes on, and noted.
    explicit Frame(CDialog::ModalRunner login = LoginAs(QStringLiteral("Admin"), QStringLiteral("admin"))) {
        {
            ModalScript script(std::move(login));
            m_frame = theApp.OpenMainWindow(Commands::Table());
        }
        if (m_frame && m_frame->NewPasswordOffered()) {
            ModalScript script(NoteAndCancel(&m_offered));
            m_frame->OfferNewPassword();
        }
    }
    ~Frame() { delete m_frame.data(); }
    CMainFrame* operator->() const { return m_frame.data(); }
    CMainFrame* get() const { return m_frame.data(); }
    bool Gone() const { return m_frame.isNull(); }
    // The dialogs offered after the first login, by class name.
    const QStringList& Offered() const { return m_offered; }
    // Shows the window as start-up does and waits until it is the active window.
    bool ShowActive() const {
        m_frame->show();
        m_frame->activateWindow();
        return QTest::qWaitForWindowActive(m_frame.data());
    }

private:
    QPointer<CMainFrame> m_frame;
    QStringList m_offered;
};
} // namespace Shell
