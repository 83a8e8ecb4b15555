#include "manage/CLedgerDlg.h"

#include "data/CLedgerInfo.h"
#include "toolkit/CDataGrid.h"

#include <QBoxLayout>
#include <QPushButton>

CLedgerDlg::CLedgerDlg(QWidget* parent) : CBrowseDlg(parent), m_grid(new CDataGrid(this)) {
    resize(860, 520);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("退出"), this);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    BindGrid(m_grid, {0, 35, 45, 40, 40, 40, 40, 40, 120});
    OfferExport(buttons);
    connect(close, &QPushButton::clicked, this, &CDialog::OnCancel);
}

CLedgerDlg::~CLedgerDlg() = default;

bool CLedgerDlg::OnInitDialog() {
    CBrowseDlg::OnInitDialog();
    setWindowTitle(QStringLiteral("日结明细 %1 %2")
                       .arg(m_day.toString(QStringLiteral("yyyy-MM-dd")),
                            m_strOperator.isEmpty() ? QStringLiteral("全部") : m_strOperator));
    m_strQuery = Ledger::DayRows(m_day, m_strOperator);
    ShowQuery();
    m_grid->setFocus();
    return true;
}
