#include "manage/CUndoDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CDeskAction.h"
#include "manage/DeskUndo.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CUndoDlg.h"

namespace {
constexpr int kReasonBytes = 60;

// The dialog on an action found, or the box that none was found.
bool Offer(QWidget* parent, Lookup found, const CDeskAction& action, const QString& none, QString* done) {
    if (found == Lookup::Missing)
        Prompts::Refuse(none);
    QString refusal;
    if (found != Lookup::Found || !DeskUndo::MayUndo(action, &refusal)) {
        Prompts::Refuse(refusal);
        return false;
    }
    CUndoDlg undo(parent);
    undo.m_nActionID = action.ID;
    undo.m_strAction = action.Text();
    if (undo.DoModal() != IDOK)
        return false;
    *done = undo.m_strDone;
    return true;
}
} // namespace

CUndoDlg::CUndoDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CUndoDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CUndoDlg::~CUndoDlg() = default;

bool CUndoDlg::UndoLast(QWidget* parent, QString* done) {
    CDeskAction action;
    const Lookup found = action.LoadLastOf(Session::Current().UserName(), Clock::Now().date());
    return Offer(parent, found, action, QStringLiteral("您今天没有可以撤销的借出或还回。"), done);
}

bool CUndoDlg::UndoRent(QWidget* parent, int rentId, QString* done) {
    CDeskAction action;
    const Lookup found = action.LoadLastOfRent(rentId);
    return Offer(parent, found, action, QStringLiteral("这条租借记录没有可以撤销的借出或还回。"), done);
}

void CUndoDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->reasonEdit, m_strReason, kReasonBytes);
}

bool CUndoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_ui->actionLabel->setText(QStringLiteral("撤销这笔操作:") + m_strAction);
    m_ui->actionLabel->setAccessibleName(m_ui->actionLabel->text());
    m_ui->operatorName->setText(Session::Current().UserName());
    m_ui->reasonEdit->setFocus();
    return true;
}

void CUndoDlg::OnOK() {
    if (!UpdateData(true))
        return;
    QString refusal;
    if (m_strReason.trimmed().isEmpty())
        refusal = QStringLiteral("请填写撤销的原因。");
    else if (DeskUndo::Undo(m_nActionID, m_strReason.trimmed(), &refusal, &m_strDone))
        return EndDialog(IDOK);
    Prompts::Refuse(refusal);
    m_ui->reasonEdit->setFocus();
}
