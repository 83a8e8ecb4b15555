#include "toolkit/CBrowseDlg.h"

#include "data/CAdodc.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CQueryBusy.h"
#include "toolkit/GridExport.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QPushButton>

CBrowseDlg::CBrowseDlg(QWidget* parent) : CDialog(parent), m_adodc(new CAdodc(this)) {
    new CQueryBusy(m_adodc); // a long search shows the busy cursor and Escape cancels it
}

void CBrowseDlg::BindGrid(CDataGrid* grid, std::vector<float> widths) {
    m_grid = grid;
    m_widths = std::move(widths);
    m_grid->SetDataSource(m_adodc);
}

void CBrowseDlg::OfferExport(QBoxLayout* buttons) {
    auto* button = new QPushButton(QStringLiteral("导出"), this);
    button->setObjectName(QStringLiteral("exportButton"));
    buttons->insertWidget(0, button);
    connect(button, &QPushButton::clicked, this,
            [this] { GridExport::Run(this, *m_adodc, *m_grid, windowTitle()); });
}

void CBrowseDlg::ModifyOnDoubleClick(QAbstractButton* modify) {
    connect(m_grid, &QAbstractItemView::doubleClicked, modify, [modify] {
        if (modify->isEnabled())
            modify->click();
    });
}

void CBrowseDlg::ShowQuery() {
    m_adodc->SetRecordSource(m_strQuery);
    m_adodc->Refresh();
    for (int column = 0; column < int(m_widths.size()); ++column)
        m_grid->SetColumnWidth(column, m_widths[size_t(column)]);
}

bool CBrowseDlg::HasCurrentRow(const QString& prompt) const {
    if (!m_adodc->IsEOF())
        return true;
    MessageBox(prompt);
    return false;
}

QString CBrowseDlg::CurrentText(int column) const {
    return m_grid->GetCellText(column);
}
