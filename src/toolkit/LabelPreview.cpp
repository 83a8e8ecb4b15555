#include "toolkit/LabelPreview.h"

#include "base/Prompter.h"
#include "toolkit/CPrintPreview.h"

#include <QPrinter>
#include <QStringList>

namespace {
constexpr int kNamed = 10;
} // namespace

void LabelPreview::Run(QWidget* parent, const QString& title, const QString& printerKey,
                       const LabelSheet::Layout& layout, int start, int count,
                       const LabelSheet::PaintItem& paint, const QString& note,
                       QList<LabelSheet::Place>* placed) {
    QPrinter printer(QPrinter::HighResolution);
    if (printerKey == QLatin1String("PDF"))
        printer.setOutputFormat(QPrinter::PdfFormat);
    else
        printer.setPrinterName(printerKey);
    printer.setDocName(title);
    LabelSheet::SetPaper(&printer, layout);
    CPrintPreview preview(&printer, title, parent);
    preview.HideOrientation();
    preview.SetNote(note);
    bool failed = false;
    QObject::connect(&preview, &CPrintPreview::paintRequested, &preview, [&](QPrinter* target) {
        QList<LabelSheet::Place> places;
        if (!LabelSheet::Render(target, layout, start, count, paint, &places))
            failed = true;
        else if (placed)
            *placed = places;
    });
    preview.exec();
    if (failed)
        Prompter::MessageBox(QStringLiteral("打印机无法使用。"), title, MsgIcon::Warning);
}

QString LabelPreview::Naming(const QString& what, const QStringList& codes) {
    if (codes.isEmpty())
        return QString();
    QStringList named = codes.mid(0, kNamed);
    QString text =
        QStringLiteral("%1 %2 张：").arg(what).arg(codes.size()) + named.join(QStringLiteral("、"));
    if (codes.size() > kNamed)
        text += QStringLiteral(" 等");
    return text;
}
