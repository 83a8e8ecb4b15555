#pragma once
// A long write (an import) on a thread of its own while a progress dialog over the window shows how
// far it is and offers 取消, as the export and the backup do: the window's thread waits in an event
// loop and keeps painting. A message the work's statements show (an engine's failure) is held while
// it runs and shown on the window's thread once it has ended, never from the work's thread.
#include <QString>
#include <functional>

class QWidget;

namespace BackgroundWork {
// Told the rows done and how many there are; false once 取消 was pressed.
using Report = std::function<bool(int done, int total)>;
void Run(QWidget* parent, const QString& title, const QString& label,
         const std::function<void(const Report&)>& work);
} // namespace BackgroundWork
