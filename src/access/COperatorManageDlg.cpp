#include "access/COperatorManageDlg.h"

#include "access/COperatorAddDlg.h"
#include "access/CPasswordDlg.h"
#include "access/Session.h"
#include "data/AuditTrail.h"
#include "data/CAdodc.h"
#include "data/COperatorInfo.h"
#include "data/RowKey.h"
#include "toolkit/Prompts.h"
#include "ui_COperatorManageDlg.h"

COperatorManageDlg::COperatorManageDlg(QWidget* parent)
    : CDialog(parent), m_adodc(new CAdodc(this)), m_ui(std::make_unique<Ui::COperatorManageDlg>()) {
    m_ui->setupUi(this);
    m_adodc->SetRecordSource(OperatorList::All());
    m_ui->operatorList->SetDataSource(m_adodc, QStringLiteral("OptName"), QStringLiteral("ID"));
    connect(m_ui->addButton, &QPushButton::clicked, this, &COperatorManageDlg::OnAdd);
    connect(m_ui->modifyButton, &QPushButton::clicked, this, &COperatorManageDlg::OnModify);
    connect(m_ui->deleteButton, &QPushButton::clicked, this, &COperatorManageDlg::OnDelete);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CDialog::OnCancel);
}

COperatorManageDlg::~COperatorManageDlg() = default;

bool COperatorManageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_adodc->Refresh();
    const bool administrator = Session::Current().IsAdministrator();
    m_ui->addButton->setEnabled(administrator);
    m_ui->deleteButton->setEnabled(administrator);
    m_ui->operatorList->setFocus();
    return true;
}

void COperatorManageDlg::OnAdd() {
    COperatorAddDlg adding(this);
    if (adding.DoModal() == IDOK)
        m_adodc->Refresh();
}

void COperatorManageDlg::OnModify() {
    const QString name = m_ui->operatorList->GetText();
    if (name.isEmpty()) {
        Prompter::MessageBox(QStringLiteral("请选择用户"));
        return;
    }
    const Session& session = Session::Current();
    if (!session.IsAdministrator() && session.UserName() != name)
        return Prompts::Refuse(QStringLiteral("您不是管理员,只能更改自己的密码!"));
    CPasswordDlg changing(this);
    changing.m_strID = m_ui->operatorList->GetBoundText();
    changing.DoModal();
}

// Anyone but "Admin" may be deleted, the operator logged in included: his session lasts until the
// next login.
void COperatorManageDlg::OnDelete() {
    const QString name = m_ui->operatorList->GetText();
    if (name.isEmpty()) {
        Prompter::MessageBox(QStringLiteral("请选择用户"));
        return;
    }
    const RowKey key = RowKey::FromText(m_ui->operatorList->GetBoundText());
    COperatorInfo op;
    const Lookup found = op.LoadById(key);
    if (found == Lookup::Failed)
        return;
    if (found == Lookup::Missing) { // deleted at another desk since the list was read
        Prompts::Refuse(QStringLiteral("找不到该用户,它可能已被删除。"));
        return m_adodc->Refresh();
    }
    if (op.OptName == QStringLiteral("Admin"))
        return Prompts::Refuse(QStringLiteral("不能删除系统默认管理员!"));
    if (!Prompts::Ask(QStringLiteral("是否删除用户: ") + name, QStringLiteral("请确定"),
                      IDNO)) // Enter keeps the operator
        return;
    // A failed delete has shown the engine's message; the list is read again all the same.
    {
        CTransaction deleting;
        if (op.DeleteById(key))
            AuditTrail::Write(Session::Current().UserName(), AuditTrail::kOperatorDeleted, op.OptName,
                              QStringLiteral("用户名: %1; 类型: %2").arg(op.OptName, op.Type));
        deleting.Commit();
    }
    m_adodc->Refresh();
}
