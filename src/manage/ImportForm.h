#pragma once
// The widgets of the import window, laid out for a 1024x768 screen: the file, the columns' mapping
// beside the choices, the trial run's counts and grid, the buttons.
#include "data/ImportFields.h"

class QDialog;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace ImportForm {
struct Widgets {
    QLineEdit* fileEdit;
    QPushButton* chooseButton;
    QLabel* fileInfo;
    QFormLayout* mappingForm; // one row per column of the file, filled when a file is read
    QRadioButton* updateRadio;
    QRadioButton* acceptRadio; // null for clients, who have no lists
    QPushButton* trialButton;
    QLabel* counts;
    QTableView* grid;
    QPushButton* importButton;
    QPushButton* undoButton;
    QPushButton* closeButton;
};
Widgets Build(QDialog* dialog, Import::What what);
} // namespace ImportForm
