#include "toolkit/CPrintPreview.h"

#include "base/Prompter.h"
#include "toolkit/SaveDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

CPrintPreview::CPrintPreview(QPrinter* printer, const QString& title, QWidget* parent)
    : QDialog(parent), m_printer(printer), m_title(title), m_view(new QPrintPreviewWidget(printer, this)),
      m_print(new QPushButton(QStringLiteral("打印(&P)..."), this)),
      m_pdf(new QPushButton(QStringLiteral("导出PDF(&E)..."), this)),
      m_landscape(new QCheckBox(QStringLiteral("横向(&L)"), this)), m_note(new QLabel(this)) {
    setWindowTitle(QStringLiteral("打印预览 - ") + title);
    setSizeGripEnabled(true);
    auto* zoomIn = new QPushButton(QStringLiteral("放大(&+)"), this);
    auto* zoomOut = new QPushButton(QStringLiteral("缩小(&-)"), this);
    auto* fit = new QPushButton(QStringLiteral("整页宽(&W)"), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    m_print->setObjectName(QStringLiteral("printButton"));
    m_pdf->setObjectName(QStringLiteral("pdfButton"));
    m_view->setAccessibleName(QStringLiteral("打印预览"));
    m_landscape->setChecked(printer->pageLayout().orientation() == QPageLayout::Landscape);

    auto* buttons = new QHBoxLayout;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_print), static_cast<QWidget*>(m_pdf), static_cast<QWidget*>(m_landscape),
          static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(zoomOut), static_cast<QWidget*>(fit)})
        buttons->addWidget(widget);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_note->setFocusPolicy(Qt::TabFocus);
    m_note->hide();
    layout->addWidget(m_note);
    layout->addWidget(m_view, 1);
    resize(860, 660);

    connect(m_view, &QPrintPreviewWidget::paintRequested, this, &CPrintPreview::paintRequested);
    connect(m_print, &QPushButton::clicked, this, &CPrintPreview::OnPrint);
    connect(m_pdf, &QPushButton::clicked, this, &CPrintPreview::OnPdf);
    connect(m_landscape, &QCheckBox::toggled, this,
            [this](bool on) { m_view->setOrientation(on ? QPageLayout::Landscape : QPageLayout::Portrait); });
    connect(zoomIn, &QPushButton::clicked, m_view, [this] { m_view->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, m_view, [this] { m_view->zoomOut(); });
    connect(fit, &QPushButton::clicked, m_view, &QPrintPreviewWidget::fitToWidth);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    m_print->setFocus();
}

void CPrintPreview::OnPrint() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        Prompter::MessageBox(QStringLiteral("没有可用的打印机。可以用“导出PDF”存成文件。"),
                             QStringLiteral("打印"), MsgIcon::Warning);
        return;
    }
    m_printer->setOutputFormat(QPrinter::NativeFormat);
    QPrintDialog dialog(m_printer, this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() == QDialog::Accepted)
        m_view->print();
}

QString CPrintPreview::OnPdf() {
    const QString path = SaveDialog::Ask(this, QStringLiteral("导出PDF"), m_title + QStringLiteral(".pdf"),
                                         QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return QString();
    const QPrinter::OutputFormat format = m_printer->outputFormat();
    const QString file = m_printer->outputFileName();
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    // Written under a name of its own first: a file of the same name is replaced only by a whole one.
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    m_printer->setOutputFileName(part);
    m_view->print();
    const bool written = QFileInfo(part).size() > 0 && (!QFile::exists(path) || QFile::remove(path)) &&
                         QFile::rename(part, path);
    QFile::remove(part);
    m_printer->setOutputFileName(file);
    m_printer->setOutputFormat(format);
    if (!written) {
        Prompter::MessageBox(QStringLiteral("无法写入\n%1").arg(QDir::toNativeSeparators(path)),
                             QStringLiteral("导出PDF"), MsgIcon::Error);
        return QString();
    }
    return path;
}

void CPrintPreview::SetNote(const QString& note) {
    m_note->setText(note);
    m_note->setAccessibleName(note);
    m_note->setVisible(!note.isEmpty());
}

QString CPrintPreview::Note() const {
    return m_note->text();
}

void CPrintPreview::HideOrientation() {
    m_landscape->hide();
}
