#include "toolkit/CSheetBox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {
const char* const kPdf = "PDF";

QDoubleSpinBox* Millimetres(QWidget* parent, double least, double most) {
    auto* spin = new QDoubleSpinBox(parent);
    spin->setRange(least, most);
    spin->setDecimals(1);
    spin->setSingleStep(0.5);
    spin->setSuffix(QStringLiteral(" 毫米"));
    return spin;
}

// A field under a label that names it, at row, column pair.
void Put(QGridLayout* grid, int row, int pair, const QString& text, QWidget* field) {
    auto* label = new QLabel(text, grid->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, row, pair * 2);
    grid->addWidget(field, row, pair * 2 + 1);
}
} // namespace

CSheetBox::CSheetBox(const QString& kind, const LabelSheet::Layout& fallback, const QString& singleText,
                     QWidget* parent)
    : QGroupBox(QStringLiteral("纸张"), parent), m_kind(kind), m_fallback(fallback),
      m_printer(new QComboBox(this)), m_sheet(new QRadioButton(QStringLiteral("整张(&H)"), this)),
      m_single(new QRadioButton(singleText, this)), m_rows(new QSpinBox(this)), m_columns(new QSpinBox(this)),
      m_start(new QSpinBox(this)), m_size(new QLabel(this)) {
    for (const QPrinterInfo& printer : QPrinterInfo::availablePrinters())
        m_printer->addItem(printer.printerName(), printer.printerName());
    m_printer->addItem(QStringLiteral("PDF 文件"), QString::fromLatin1(kPdf));
    const QString preferred = QPrinterInfo::defaultPrinterName();
    if (m_printer->findData(preferred) >= 0)
        m_printer->setCurrentIndex(m_printer->findData(preferred));
    auto* paper = new QButtonGroup(this);
    paper->addButton(m_sheet);
    paper->addButton(m_single);
    m_rows->setRange(1, 40);
    m_columns->setRange(1, 20);
    m_start->setRange(1, 1);
    for (int side = 0; side < 4; ++side)
        m_margins[side] = Millimetres(this, 0, 100);
    for (int direction = 0; direction < 2; ++direction) {
        m_gaps[direction] = Millimetres(this, 0, 50);
        m_sizes[direction] = Millimetres(this, 10, 300);
        m_offsets[direction] = Millimetres(this, -20, 20);
    }
    m_size->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_size->setFocusPolicy(Qt::TabFocus);

    auto* grid = new QGridLayout(this);
    auto* printerLabel = new QLabel(QStringLiteral("打印机(&R)："), this);
    printerLabel->setBuddy(m_printer);
    grid->addWidget(printerLabel, 0, 0);
    grid->addWidget(m_printer, 0, 1, 1, 3);
    grid->addWidget(m_sheet, 1, 0, 1, 2);
    grid->addWidget(m_single, 1, 2, 1, 2);
    Put(grid, 2, 0, QStringLiteral("行数(&O)："), m_rows);
    Put(grid, 2, 1, QStringLiteral("列数(&U)："), m_columns);
    Put(grid, 3, 0, QStringLiteral("上边距："), m_margins[0]);
    Put(grid, 3, 1, QStringLiteral("下边距："), m_margins[1]);
    Put(grid, 4, 0, QStringLiteral("左边距："), m_margins[2]);
    Put(grid, 4, 1, QStringLiteral("右边距："), m_margins[3]);
    Put(grid, 5, 0, QStringLiteral("左右间距："), m_gaps[0]);
    Put(grid, 5, 1, QStringLiteral("上下间距："), m_gaps[1]);
    Put(grid, 6, 0, QStringLiteral("从第几张开始(&B)："), m_start);
    Put(grid, 7, 0, QStringLiteral("单张宽："), m_sizes[0]);
    Put(grid, 7, 1, QStringLiteral("单张高："), m_sizes[1]);
    Put(grid, 8, 0, QStringLiteral("打印机偏移 向右："), m_offsets[0]);
    Put(grid, 8, 1, QStringLiteral("向下："), m_offsets[1]);
    grid->addWidget(m_size, 9, 0, 1, 4);

    connect(m_printer, &QComboBox::currentIndexChanged, this, &CSheetBox::OnPrinter);
    connect(m_sheet, &QRadioButton::toggled, this, &CSheetBox::ShowState);
    for (QSpinBox* spin : {m_rows, m_columns, m_start})
        connect(spin, &QSpinBox::valueChanged, this, &CSheetBox::ShowState);
    for (QDoubleSpinBox* spin : {m_margins[0], m_margins[1], m_margins[2], m_margins[3], m_gaps[0], m_gaps[1],
                                 m_sizes[0], m_sizes[1], m_offsets[0], m_offsets[1]})
        connect(spin, &QDoubleSpinBox::valueChanged, this, &CSheetBox::ShowState);
    OnPrinter();
}

QString CSheetBox::PrinterKey() const {
    return m_printer->currentData().toString();
}

void CSheetBox::ChoosePrinter(const QString& key) {
    const int index = m_printer->findData(key);
    if (index >= 0)
        m_printer->setCurrentIndex(index);
}

void CSheetBox::OnPrinter() {
    SetLayout(LabelSheet::LoadLayout(m_kind, PrinterKey(), m_fallback));
    const LabelSheet::Offset offset = LabelSheet::LoadOffset(PrinterKey());
    m_offsets[0]->setValue(offset.right);
    m_offsets[1]->setValue(offset.down);
}

LabelSheet::Layout CSheetBox::Layout() const {
    LabelSheet::Layout layout = m_fallback;
    layout.roll = m_single->isChecked();
    layout.single = QSizeF(m_sizes[0]->value(), m_sizes[1]->value());
    layout.rows = m_rows->value();
    layout.columns = m_columns->value();
    layout.top = m_margins[0]->value();
    layout.bottom = m_margins[1]->value();
    layout.left = m_margins[2]->value();
    layout.right = m_margins[3]->value();
    layout.gapX = m_gaps[0]->value();
    layout.gapY = m_gaps[1]->value();
    return layout;
}

void CSheetBox::SetLayout(const LabelSheet::Layout& layout) {
    {
        const QSignalBlocker quiet(this);
        (layout.roll ? m_single : m_sheet)->setChecked(true);
        m_sizes[0]->setValue(layout.single.width());
        m_sizes[1]->setValue(layout.single.height());
        m_rows->setValue(layout.rows);
        m_columns->setValue(layout.columns);
        m_margins[0]->setValue(layout.top);
        m_margins[1]->setValue(layout.bottom);
        m_margins[2]->setValue(layout.left);
        m_margins[3]->setValue(layout.right);
        m_gaps[0]->setValue(layout.gapX);
        m_gaps[1]->setValue(layout.gapY);
    }
    ShowState();
}

LabelSheet::Offset CSheetBox::Offset() const {
    return {m_offsets[0]->value(), m_offsets[1]->value()};
}

int CSheetBox::StartCell() const {
    return m_single->isChecked() ? 0 : m_start->value() - 1;
}

void CSheetBox::SetStartCell(int cell) {
    m_start->setValue(cell + 1);
}

void CSheetBox::Keep() const {
    LabelSheet::SaveLayout(m_kind, PrinterKey(), Layout());
    LabelSheet::SaveOffset(PrinterKey(), Offset());
}

// The sheet's fields apply to a sheet, the size to single ones; the line under them says how
// large each label comes out.
void CSheetBox::ShowState() {
    const bool sheet = m_sheet->isChecked();
    for (QWidget* field :
         {static_cast<QWidget*>(m_rows), static_cast<QWidget*>(m_columns), static_cast<QWidget*>(m_start),
          static_cast<QWidget*>(m_margins[0]), static_cast<QWidget*>(m_margins[1]),
          static_cast<QWidget*>(m_margins[2]), static_cast<QWidget*>(m_margins[3]),
          static_cast<QWidget*>(m_gaps[0]), static_cast<QWidget*>(m_gaps[1])})
        field->setEnabled(sheet);
    m_sizes[0]->setEnabled(!sheet);
    m_sizes[1]->setEnabled(!sheet);
    const LabelSheet::Layout layout = Layout();
    m_start->setMaximum(std::max(1, LabelSheet::PerPage(layout)));
    const QSizeF size = LabelSheet::CellSize(layout);
    const QString text = sheet ? QStringLiteral("每页 %1 张,每张 %2 × %3 毫米")
                                     .arg(LabelSheet::PerPage(layout))
                                     .arg(size.width(), 0, 'f', 1)
                                     .arg(size.height(), 0, 'f', 1)
                               : QStringLiteral("每页 1 张,%1 × %2 毫米")
                                     .arg(size.width(), 0, 'f', 1)
                                     .arg(size.height(), 0, 'f', 1);
    m_size->setText(text);
    m_size->setAccessibleName(text);
    emit changed();
}
