#pragma once
// The status bar's 撤销: a small button beside the line of what the desk has just done, shown
// while that line is, for the operator to undo his last lending or return of today.
class CDonePane;
class QStatusBar;
class QToolButton;

namespace UndoButton {
// Adds the button to the bar after done; the caller connects its click.
QToolButton* Beside(CDonePane* done, QStatusBar* bar);
} // namespace UndoButton
