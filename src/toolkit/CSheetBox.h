#pragma once
// The paper of a label or card print: the printer (or a PDF file), a sheet of rows × columns with
// its margins and gaps or single ones of a size, the cell of a partly used sheet to start at, and
// the printer's offsets. Each printer keeps its own layout and offsets; choosing one brings them
// back.
#include "toolkit/LabelSheet.h"

#include <QGroupBox>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSpinBox;

class CSheetBox : public QGroupBox {
    Q_OBJECT
public:
    // kind: the name the layouts are kept under ("labels", "cards"); fallback: the layout of a
    // printer that has none kept; singleText: what the choice of single ones is called.
    CSheetBox(const QString& kind, const LabelSheet::Layout& fallback, const QString& singleText,
              QWidget* parent = nullptr);

    // The name the chosen printer is kept under ("PDF" for a file).
    QString PrinterKey() const;
    void ChoosePrinter(const QString& key);
    LabelSheet::Layout Layout() const;
    void SetLayout(const LabelSheet::Layout& layout);
    LabelSheet::Offset Offset() const;
    // The cell of the sheet to start at, from 0; 0 on single ones.
    int StartCell() const;
    void SetStartCell(int cell);
    // Keeps the layout and the offsets under the chosen printer.
    void Keep() const;

    QComboBox* PrinterCombo() const { return m_printer; }
    QRadioButton* SheetRadio() const { return m_sheet; }
    QRadioButton* SingleRadio() const { return m_single; }
    QSpinBox* RowsSpin() const { return m_rows; }
    QSpinBox* ColumnsSpin() const { return m_columns; }
    QSpinBox* StartSpin() const { return m_start; }
    QDoubleSpinBox* MarginSpin(int side) const { return m_margins[side]; }     // top, bottom, left, right
    QDoubleSpinBox* GapSpin(int direction) const { return m_gaps[direction]; } // across, down
    QDoubleSpinBox* OffsetSpin(int direction) const { return m_offsets[direction]; } // right, down
    QLabel* SizeLine() const { return m_size; }

signals:
    void changed();

private:
    void OnPrinter();
    void ShowState();

    QString m_kind;
    LabelSheet::Layout m_fallback;
    QComboBox* m_printer;
    QRadioButton* m_sheet;
    QRadioButton* m_single;
    QSpinBox* m_rows;
    QSpinBox* m_columns;
    QSpinBox* m_start;
    QDoubleSpinBox* m_margins[4];
    QDoubleSpinBox* m_gaps[2];
    QDoubleSpinBox* m_sizes[2];
    QDoubleSpinBox* m_offsets[2];
    QLabel* m_size;
};
