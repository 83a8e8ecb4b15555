#pragma once
// The print preview of labels and cards: the pages on the layout's paper, from the chosen cell, with
// a note above them (which codes went as QR codes); from it to the printer or to a PDF file.
#include "toolkit/LabelSheet.h"

#include <QString>

class QWidget;

namespace LabelPreview {
// printerKey: the printer chosen ("PDF" for a file). The places of the items, as the preview
// painted them last, go to *placed.
void Run(QWidget* parent, const QString& title, const QString& printerKey, const LabelSheet::Layout& layout,
         int start, int count, const LabelSheet::PaintItem& paint, const QString& note,
         QList<LabelSheet::Place>* placed);
// The note that names the codes (at most a few) and how many there are.
QString Naming(const QString& what, const QStringList& codes);
} // namespace LabelPreview
