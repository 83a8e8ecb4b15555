#pragma once
// The file dialog of every 导出 and 导出PDF: it starts in the folder the user last saved into, or in
// his Documents folder the first time (never in the shop's own folder), and remembers the folder
// chosen in the user's settings.
#include <QString>
#include <functional>

class QWidget;

namespace SaveDialog {
// Asks for the file to write; empty when the user gave none. Tests replace it; null restores the
// file dialog.
using Chooser = std::function<QString(QWidget* parent, const QString& suggested)>;
void SetChooser(Chooser chooser);

// Where the dialog starts: the suggested file name in the folder last saved into while it still
// exists, else in the Documents folder (the home folder when there is none).
QString StartPath(const QString& suggested);
// Asks for a file; a file given makes its folder the next start.
QString Ask(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter);
} // namespace SaveDialog
