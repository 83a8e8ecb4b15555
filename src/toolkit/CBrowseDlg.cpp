#include "toolkit/CBrowseDlg.h"

#include "base/UserSettings.h"
#include "data/CAdodc.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CQueryBusy.h"
#include "toolkit/GridExport.h"
#include "toolkit/GridPrint.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QPushButton>
#include <QSettings>

CBrowseDlg::CBrowseDlg(QWidget* parent) : CDialog(parent), m_adodc(new CAdodc(this)) {
    new CQueryBusy(m_adodc); // a long search shows the busy cursor and Escape cancels it
}

QString CBrowseDlg::PlaceKey(const char* className) {
    return QStringLiteral("windows/") + QLatin1String(className);
}

QString CBrowseDlg::ColumnsKey(const char* className) {
    return QStringLiteral("columns/") + QLatin1String(className);
}

void CBrowseDlg::showEvent(QShowEvent* event) {
    if (!m_placed) {
        m_placed = true;
        const QByteArray place =
            UserSettings::Open()->value(PlaceKey(metaObject()->className())).toByteArray();
        // Qt brings a place that no screen shows any more back onto the nearest one.
        if (!place.isEmpty())
            restoreGeometry(place);
        if (m_grid) {
            QMap<QString, int> widths;
            const QVariantMap kept =
                UserSettings::Open()->value(ColumnsKey(metaObject()->className())).toMap();
            for (auto width = kept.cbegin(); width != kept.cend(); ++width) {
                if (width.value().toInt() > 0)
                    widths.insert(width.key(), width.value().toInt());
            }
            m_grid->SetUserWidths(widths);
        }
    }
    CDialog::showEvent(event);
}

void CBrowseDlg::hideEvent(QHideEvent* event) {
    if (m_placed) {
        const auto settings = UserSettings::Open();
        settings->setValue(PlaceKey(metaObject()->className()), saveGeometry());
        if (m_grid) {
            QVariantMap widths;
            const QMap<QString, int> user = m_grid->UserWidths();
            for (auto width = user.cbegin(); width != user.cend(); ++width)
                widths.insert(width.key(), width.value());
            if (widths.isEmpty())
                settings->remove(ColumnsKey(metaObject()->className()));
            else
                settings->setValue(ColumnsKey(metaObject()->className()), widths);
        }
    }
    CDialog::hideEvent(event);
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
    auto* print = new QPushButton(QStringLiteral("打印"), this);
    print->setObjectName(QStringLiteral("printButton"));
    buttons->insertWidget(1, print);
    connect(print, &QPushButton::clicked, this, [this] {
        QStringList notes;
        if (PrintNotes(&notes))
            GridPrint::Preview(this, *m_adodc, *m_grid, windowTitle(), GridPrint::kMaxPreviewPages, notes);
    });
}

bool CBrowseDlg::PrintNotes(QStringList*) {
    return true;
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
    Prompter::MessageBox(prompt);
    return false;
}

QString CBrowseDlg::CurrentText(int column) const {
    return m_grid->GetCellText(column);
}

void CBrowseDlg::AllowManyRows() {
    m_grid->AllowManyRows();
}

QStringList CBrowseDlg::SelectedTexts(int column) const {
    QStringList texts;
    for (const int row : m_grid->SelectedRows())
        texts << m_adodc->Text(row, column);
    return texts;
}
