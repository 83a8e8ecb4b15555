#include "app/CCleanupDlg.h"

#include "access/Session.h"
#include "data/AuditFields.h"
#include "data/CRentInfo.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CCleanupDlg.h"

CCleanupDlg::CCleanupDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CCleanupDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CCleanupDlg::~CCleanupDlg() = default;

void CCleanupDlg::DoDataExchange(CDataExchange& dx) {
    dx.Check(m_ui->monthlyCheck, m_bMonthly);
    dx.Check(m_ui->dailyCheck, m_bDaily);
}

bool CCleanupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_ui->okButton->setEnabled(Session::Current().IsAdministrator());
    return true;
}

void CCleanupDlg::OnOK() {
    if (!m_ui->okButton->isEnabled() || !UpdateData(true))
        return; // Enter on a disabled "整理" purges nothing
    if (!m_bMonthly && !m_bDaily) {
        return Prompts::Refuse(QStringLiteral("未选择清理选项!"));
    }
    if (!Prompts::Ask(QStringLiteral("是否清理,清理后数据将不可恢复,建议清理前备份数据库?"),
                      QStringLiteral("请确认"),
                      IDNO)) // Enter keeps them
        return;
    // Two statements: a monthly purge that succeeded stays done. After a failure, which the data
    // layer has shown, nothing more is deleted and the dialog stays open.
    CRentInfo records;
    if (m_bMonthly && !Purge(QStringLiteral("月租"), [&records] { return records.PurgeReturnedMonthly(); }))
        return;
    if (m_bDaily && !Purge(QStringLiteral("零租"), [&records] { return records.PurgeReturnedDaily(); }))
        return;
    Prompter::MessageBox(QStringLiteral("清理完成!"), QStringLiteral("完成"), MsgIcon::Information);
    EndDialog(IDOK);
}

// One purge and the trail's row of it (how many rows, up to which return date), together.
bool CCleanupDlg::Purge(const QString& type, const std::function<bool()>& purge) {
    CTransaction purging;
    int rows = 0;
    QString last;
    return AuditFields::Returned(type, &rows, &last) != Lookup::Failed && purge() &&
           AuditTrail::Write(
               Session::Current().UserName(), AuditTrail::kCleanup, type,
               QStringLiteral("清除%1已还记录 %2 条,还回日期至 %3").arg(type).arg(rows).arg(last)) &&
           purging.Commit();
}
