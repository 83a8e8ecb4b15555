#pragma once
// A receipt: a slip of a roll printer, 80 mm wide and as long as its lines, to a printer or to a
// PDF file through Qt's print support.
#include <QString>
#include <QStringList>

class QPrinter;

namespace ReceiptPrint {
// The first line is the heading, centred and bold; the second and the last are centred. A line
// with a tab shows its text after the tab at the right edge, as amounts stand on a receipt. False
// when the printer could not be used (*error says why).
bool Print(QPrinter* printer, const QStringList& lines, QString* error);
} // namespace ReceiptPrint
