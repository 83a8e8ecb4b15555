#include "access/CPasswordDlg.h"

#include "access/Session.h"
#include "base/PasswordHash.h"
#include "data/AuditTrail.h"
#include "data/CAdoDb.h"
#include "data/COperatorInfo.h"
#include "data/RowKey.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CPasswordDlg.h"

namespace {
const QString& GoneText() {
    static const QString text = QStringLiteral("找不到该用户,它可能已被删除。");
    return text;
}
} // namespace

CPasswordDlg::CPasswordDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CPasswordDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CPasswordDlg::~CPasswordDlg() = default;

void CPasswordDlg::DoDataExchange(CDataExchange& dx) {
    // The name is only shown: one stored longer than the box holds never blocks the change.
    if (!dx.m_bSaveAndValidate)
        dx.Text(m_ui->nameEdit, m_strName, COperatorInfo::kTextBytes);
    dx.Text(m_ui->oldEdit, m_strOldPwd, COperatorInfo::kTextBytes);
    dx.Text(m_ui->newEdit, m_strNewPwd, COperatorInfo::kTextBytes);
    dx.Text(m_ui->confirmEdit, m_strConfirm, COperatorInfo::kTextBytes);
}

// A key that finds no operator opens no form: there would be no password to check and nothing to
// change. A failed read opens none either, after the engine's message.
bool CPasswordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    COperatorInfo op;
    const Lookup found = op.LoadById(RowKey::FromText(m_strID));
    if (found == Lookup::Failed)
        return false;
    if (found == Lookup::Missing) {
        Prompts::Refuse(GoneText());
        return false;
    }
    m_strName = op.OptName;
    m_ui->reasonLabel->setText(m_strReason);
    m_ui->reasonLabel->setVisible(!m_strReason.isEmpty());
    UpdateData(false);
    m_ui->oldEdit->setFocus();
    return true;
}

void CPasswordDlg::OnOK() {
    if (!UpdateData(true))
        return;
    QString refusal;
    switch (Change(&refusal)) {
    case Outcome::Changed:
        Prompter::MessageBox(QStringLiteral("密码修改成功!"), QStringLiteral("成功"), MsgIcon::Information);
        return EndDialog(IDOK);
    case Outcome::Refused:
        return Prompts::Refuse(refusal);
    case Outcome::Gone: // deleted at another desk since the form opened
        Prompts::Refuse(GoneText());
        return EndDialog(IDCANCEL);
    case Outcome::Failed:
        return;
    }
}

// The stored password is read, checked and written back under one write lock, so a change made
// meanwhile at another desk is neither checked against stale text nor overwritten. Refusals are
// shown by the caller once the transaction has ended.
CPasswordDlg::Outcome CPasswordDlg::Change(QString* refusal) {
    const RowKey key = RowKey::FromText(m_strID);
    CTransaction changing;
    COperatorInfo op;
    const Lookup found = op.LoadById(key);
    if (found == Lookup::Failed)
        return Outcome::Failed;
    if (found == Lookup::Missing)
        return Outcome::Gone;
    if (!PasswordHash::Matches(op.OptPwd, m_strOldPwd)) {
        *refusal = QStringLiteral("旧密码错误!");
        return Outcome::Refused;
    }
    if (m_strNewPwd != m_strConfirm) {
        *refusal = QStringLiteral("确认新密码错误!");
        return Outcome::Refused;
    }
    op.OptPwd = PasswordHash::Make(m_strNewPwd);
    // The trail says whose password changed and who changed it; never the password or its hash.
    if (!op.Update(key) ||
        !AuditTrail::Write(Session::Current().UserName(), AuditTrail::kPasswordChanged, op.OptName,
                           QStringLiteral("密码已修改")) ||
        !changing.Commit())
        return Outcome::Failed;
    return Outcome::Changed;
}
