#pragma once
// "打印标签" of the film window: a label for each disc, for the films picked in the window, the films
// stored on a day, or every film, on a sheet of labels or a roll; shown in a print preview, from
// which it goes to the printer or to a PDF file.
#include "data/LabelRows.h"
#include "data/RowKey.h"
#include "toolkit/CDialog.h"
#include "toolkit/LabelSheet.h"

#include <QList>

class CSheetBox;
class QDateEdit;
class QPushButton;
class QRadioButton;

class CLabelPrintDlg : public CDialog {
    Q_OBJECT
public:
    explicit CLabelPrintDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    // Reads the films, and shows their labels in the preview.
    void OnPreview();

    // The films picked in the film window, by key.
    QList<RowKey> m_selected;

    QRadioButton* SelectedRadio() const { return m_selectedRadio; }
    QRadioButton* DayRadio() const { return m_dayRadio; }
    QRadioButton* AllRadio() const { return m_allRadio; }
    QDateEdit* DayEdit() const { return m_day; }
    CSheetBox* Sheet() const { return m_sheet; }
    QPushButton* PreviewButton() const { return m_preview; }
    // The films of the last preview, in the order of their labels.
    const QList<LabelRows::Film>& Films() const { return m_films; }
    // Where the preview put each label when it last painted them.
    const QList<LabelSheet::Place>& Placed() const { return m_placed; }
    // The labels printed as QR codes, by code, in the last preview.
    const QStringList& QrCodes() const { return m_qr; }

    // The layout labels start on when a printer keeps none: an A4 sheet of 3 × 8 labels of 70 × 36 mm.
    static LabelSheet::Layout DefaultLayout();

private:
    bool ReadFilms(QList<LabelRows::Film>* films);

    QRadioButton* m_selectedRadio;
    QRadioButton* m_dayRadio;
    QRadioButton* m_allRadio;
    QDateEdit* m_day;
    CSheetBox* m_sheet;
    QPushButton* m_preview;
    QList<LabelRows::Film> m_films;
    QList<LabelSheet::Place> m_placed;
    QStringList m_qr;
};
