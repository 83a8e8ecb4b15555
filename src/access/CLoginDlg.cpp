#include "access/CLoginDlg.h"

#include "access/LoginGuard.h"
#include "access/Session.h"
#include "base/Clock.h"
#include "base/PasswordHash.h"
#include "base/Prompter.h"
#include "data/AuditTrail.h"
#include "data/CAdoDb.h"
#include "data/COperatorInfo.h"
#include "data/DrawerFloat.h"
#include "toolkit/DataExchange.h"
#include "ui_CLoginDlg.h"

#include <QApplication>

namespace {
// The first open of a shop written by an older program brings it up to date, which takes a second
// or more on a large one: the wait cursor shows meanwhile. A failure is left to the lookup that
// follows, which shows it as every other statement's.
void BringShopUpToDateWaiting() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    EngineError failure;
    Engine::Open(ShopConnection::Current(), &failure);
    QApplication::restoreOverrideCursor();
}
} // namespace

CLoginDlg::CLoginDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CLoginDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CLoginDlg::~CLoginDlg() = default;

void CLoginDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->nameEdit, m_strName, COperatorInfo::kTextBytes);
    dx.Text(m_ui->passwordEdit, m_strPassword, COperatorInfo::kTextBytes);
}

bool CLoginDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const QIcon icon = QApplication::windowIcon();
    setWindowIcon(icon);
    m_ui->iconLabel->setPixmap(icon.pixmap(48, 48));
    // A name already given (the last operator's) leaves only the password to type.
    (m_strName.isEmpty() ? m_ui->nameEdit : m_ui->passwordEdit)->setFocus();
    return true;
}

void CLoginDlg::OnOK() {
    if (!UpdateData(true))
        return;
    BringShopUpToDateWaiting();
    // A name that waits is not checked at all, so that guesses meanwhile tell nothing.
    int failures = 0;
    if (!MayTry(&failures))
        return;
    COperatorInfo op;
    // A failed read has shown the engine's message: no second box about the name.
    Lookup found = op.ExistsByOptName(m_strName);
    if (found == Lookup::Found)
        found = op.LoadByOptName(m_strName);
    if (found == Lookup::Failed)
        return;
    if (found == Lookup::Missing)
        return Refuse(QStringLiteral("错误的用户名!"), QStringLiteral("用户名不存在"), failures + 1);
    if (!PasswordHash::Matches(op.OptPwd, m_strPassword)) {
        Refuse(QStringLiteral("密码验证失败!"), QStringLiteral("密码错误"), failures + 1);
        // The next typing replaces the wrong password rather than adding to it.
        m_ui->passwordEdit->setFocus();
        m_ui->passwordEdit->selectAll();
        return;
    }
    CTransaction loggingIn;
    // A password another program stored as typed is stored hashed from its first good login.
    if (!PasswordHash::IsHash(op.OptPwd)) {
        op.OptPwd = PasswordHash::Make(m_strPassword);
        if (!op.OptPwd.isEmpty())
            op.Update(op.ID);
    }
    AuditTrail::Write(op.OptName, AuditTrail::kLogin, op.OptName, {});
    loggingIn.Commit();
    m_strFirstPasswordId.clear();
    if (op.OptName == QLatin1String(COperatorInfo::kFirstAdmin) &&
        m_strPassword == QLatin1String(COperatorInfo::kFirstPassword))
        m_strFirstPasswordId = QString::number(op.ID);
    Session::Current().SignIn(op.OptName, op.Type);
    EndDialog(IDOK);
}

// False while the name waits at this desk (the box says how long, the trail keeps the try) or when
// the trail cannot be read; *failures: the wrong tries in a row so far.
bool CLoginDlg::MayTry(int* failures) {
    QDateTime last;
    if (AuditTrail::FailedLogins(m_strName, DrawerFloat::ThisDesk(), failures, &last) == Lookup::Failed)
        return false;
    const qint64 wait = LoginGuard::SecondsLeft(*failures, last, Clock::Now());
    if (wait == 0)
        return true;
    AuditTrail::Write(QString(), AuditTrail::kLoginWait, m_strName,
                      QStringLiteral("还须等待 %1 秒").arg(wait));
    Prompter::MessageBox(LoginGuard::WaitText(wait), QStringLiteral("提示"), MsgIcon::Error);
    m_ui->passwordEdit->setFocus();
    m_ui->passwordEdit->selectAll();
    return false;
}

// A wrong name or password: the trail keeps the name typed (never the password); the box says
// the refusal as it always has, and from the fifth in a row how long the name now waits.
void CLoginDlg::Refuse(const QString& text, const QString& why, int failures) {
    const bool locked = LoginGuard::WaitAfter(failures) > 0;
    const QString wait = locked ? LoginGuard::LockedText(failures) : QString();
    AuditTrail::Write(QString(), AuditTrail::kLoginFailed, m_strName,
                      locked ? why + QStringLiteral("; ") + wait : why);
    Prompter::MessageBox(locked ? text + QStringLiteral("\n") + wait : text, QStringLiteral("提示"),
                         MsgIcon::Error);
}
