#include "manage/CFloatDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CAdoDb.h"
#include "data/CLedgerInfo.h"
#include "data/DrawerFloat.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Prompts.h"
#include "ui_CFloatDlg.h"

namespace {
constexpr double kMostFloat = 99999.99; // yuan, to the fen
} // namespace

CFloatDlg::CFloatDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CFloatDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CFloatDlg::~CFloatDlg() = default;

bool CFloatDlg::AskOnce(QWidget* parent) {
    const QDate today = Clock::Now().date();
    qint64 fen = 0;
    if (DrawerFloat::Load(today, DrawerFloat::ThisDesk(), &fen) != Lookup::Missing)
        return false; // entered already, or the read failed (its message is shown)
    CFloatDlg ask(parent);
    ask.m_day = today;
    return ask.DoModal() == IDOK;
}

void CFloatDlg::DoDataExchange(CDataExchange& dx) {
    dx.Real(m_ui->amountEdit, m_fAmount, 0, kMostFloat, 2);
}

bool CFloatDlg::OnInitDialog() {
    if (!m_day.isValid())
        m_day = Clock::Now().date();
    m_ui->deskName->setText(DrawerFloat::ThisDesk());
    m_ui->questionLabel->setAccessibleName(m_ui->questionLabel->text());
    m_ui->amountEdit->setFocus();
    return true;
}

// Once per day and desk: another operator at this desk may have entered it meanwhile.
void CFloatDlg::OnOK() {
    if (!UpdateData(true))
        return;
    CTransaction entering;
    qint64 fen = 0;
    const QString desk = DrawerFloat::ThisDesk();
    const Lookup found = DrawerFloat::Load(m_day, desk, &fen);
    if (found == Lookup::Failed)
        return;
    if (found == Lookup::Found) {
        entering.Commit();
        Prompts::Refuse(QStringLiteral("这台电脑今天的备用金已经登记过了。"));
        return EndDialog(IDCANCEL);
    }
    if (DrawerFloat::Insert(m_day, desk, Session::Current().UserName(), CLedgerInfo::Fen(m_fAmount)) &&
        entering.Commit())
        EndDialog(IDOK);
}
