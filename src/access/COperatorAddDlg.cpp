#include "access/COperatorAddDlg.h"

#include "access/Session.h"
#include "base/PasswordHash.h"
#include "data/AuditTrail.h"
#include "data/CAdoDb.h"
#include "data/COperatorInfo.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_COperatorAddDlg.h"

COperatorAddDlg::COperatorAddDlg(QWidget* parent)
    : CDialog(parent), m_ui(std::make_unique<Ui::COperatorAddDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

COperatorAddDlg::~COperatorAddDlg() = default;

void COperatorAddDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->nameEdit, m_strName, COperatorInfo::kTextBytes);
    dx.ListIndex(m_ui->typeCombo, m_nType);
    dx.Text(m_ui->passwordEdit, m_strPassword, COperatorInfo::kTextBytes);
    dx.Text(m_ui->confirmEdit, m_strConfirm, COperatorInfo::kTextBytes);
}

bool COperatorAddDlg::OnInitDialog() {
    m_nType = 0;
    CDialog::OnInitDialog();
    m_ui->nameEdit->setFocus();
    return true;
}

void COperatorAddDlg::OnOK() {
    if (!UpdateData(true))
        return;
    QString refusal;
    if (Add(&refusal))
        return EndDialog(IDOK);
    Prompts::Refuse(refusal);
}

// The name test and the insert share one transaction, so two desks cannot both add one name; its
// refusals are shown once it has ended.
bool COperatorAddDlg::Add(QString* refusal) {
    if (m_strName.isEmpty()) {
        *refusal = QStringLiteral("请填写用户名!");
        return false;
    }
    CTransaction adding;
    const Lookup taken = COperatorInfo().ExistsByOptName(m_strName);
    if (taken == Lookup::Failed)
        return false;
    if (taken == Lookup::Found) {
        *refusal = QStringLiteral("用户名已存在!");
        return false;
    }
    if (m_strPassword != m_strConfirm) {
        *refusal = QStringLiteral("密码确认错误!");
        return false;
    }
    COperatorInfo op;
    op.OptName = m_strName;
    op.Type = m_ui->typeCombo->itemText(m_nType);
    op.OptPwd = PasswordHash::Make(m_strPassword);
    return op.Insert() &&
           AuditTrail::Write(Session::Current().UserName(), AuditTrail::kOperatorAdded, op.OptName,
                             QStringLiteral("类型: ") + op.Type) &&
           adding.Commit();
}
