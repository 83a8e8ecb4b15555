#include "desk/CPickDlg.h"

#include "base/Clock.h"
#include "data/CAdodc.h"
#include "data/DeskLookup.h"
#include "data/DeskPick.h"
#include "data/Reservations.h"
#include "desk/DeskRules.h"
#include "ui_CPickDlg.h"

CPickDlg::CPickDlg(Kind kind, QWidget* parent)
    : CBrowseDlg(parent), m_kind(kind), m_ui(std::make_unique<Ui::CPickDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    const bool client = kind == Kind::Client;
    setWindowTitle(client ? QStringLiteral("选择客户") : QStringLiteral("选择影片"));
    m_ui->hintLabel->setText(
        client ? QStringLiteral("输入客户编号、电话、备注的一部分或备注的拼音首字母;回车或双击选择。")
               : QStringLiteral("输入影片编号、片名、主演的一部分或其拼音首字母;回车或双击选择。"));
    BindGrid(m_ui->grid,
             client ? std::vector<float>{40, 60, 120, 30} : std::vector<float>{40, 90, 60, 20, 30, 20});
    connect(m_ui->grid, &QAbstractItemView::doubleClicked, this, &CPickDlg::OnOK);
    // The rows follow the text once typing has paused, as the desk's lines do.
    m_pause.setSingleShot(true);
    m_pause.setInterval(Desk::kLookupPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &CPickDlg::OnSearch);
    connect(m_ui->searchEdit, &QLineEdit::textEdited, &m_pause, qOverload<>(&QTimer::start));
    connect(m_ui->onlyInCheck, &QCheckBox::toggled, this, &CPickDlg::OnSearch);
}

CPickDlg::~CPickDlg() = default;

bool CPickDlg::OnInitDialog() {
    CBrowseDlg::OnInitDialog();
    m_ui->onlyInCheck->setVisible(m_kind == Kind::Film && m_bOfferOnlyIn);
    {
        const QSignalBlocker quiet(m_ui->onlyInCheck);
        m_ui->onlyInCheck->setChecked(m_kind == Kind::Film && m_bOfferOnlyIn);
    }
    m_ui->searchEdit->setText(m_strSearch);
    if (m_kind != Kind::Client)
        Reservations::Settle(Clock::Now().date(), true); // the holds lapsed show as such
    OnSearch();
    m_ui->searchEdit->setFocus();
    m_ui->searchEdit->selectAll();
    return true;
}

void CPickDlg::OnSearch() {
    m_pause.stop();
    const QString text = m_ui->searchEdit->text();
    m_strQuery = m_kind == Kind::Client ? DeskPick::Clients(text)
                                        : DeskPick::Films(text, m_ui->onlyInCheck->isChecked());
    ShowQuery();
}

void CPickDlg::OnOK() {
    // Enter right after typing picks from the rows of what was typed.
    if (m_pause.isActive())
        OnSearch();
    if (DataControl()->IsEOF())
        return;
    m_strPicked = CurrentText(0);
    EndDialog(IDOK);
}
