#pragma once
// The base of the management windows: one query shown in a grid through a data control, shown
// again whole after every change, and the current row that "修改", "删除" and "查看" act on.
#include "toolkit/CDialog.h"

#include <vector>

class CAdodc;
class CDataGrid;
class QAbstractButton;
class QBoxLayout;

class CBrowseDlg : public CDialog {
    Q_OBJECT
public:
    explicit CBrowseDlg(QWidget* parent = nullptr);

    // Where the user last left a window of this class, in the user's settings; none when never shown.
    static QString PlaceKey(const char* className);
    // The column widths the user gave its grid, by heading.
    static QString ColumnsKey(const char* className);

    // The statement the grid shows; each filter or search replaces it whole.
    QString m_strQuery;

    CAdodc* DataControl() const { return m_adodc; }

protected:
    // The grid of the form and the widths of its columns, applied after every refresh.
    void BindGrid(CDataGrid* grid, std::vector<float> widths);
    // Puts "导出" and "打印" at the start of the row of buttons: every row of the query, to a CSV
    // file or through a print preview.
    void OfferExport(QBoxLayout* buttons);
    // Lines 打印 puts under the rows; false stops the printing (the window has said why).
    virtual bool PrintNotes(QStringList* notes);
    // A double click on a row of the bound grid presses "修改", where the operator may.
    void ModifyOnDoubleClick(QAbstractButton* modify);
    // Runs the current query again and lays out the columns.
    void ShowQuery();
    // True when the grid has a current row; otherwise shows the prompt (caption: the program's
    // title) and returns false.
    bool HasCurrentRow(const QString& prompt) const;
    // The text of a column of the current row.
    QString CurrentText(int column) const;
    // Lets the user pick several rows of the grid (Shift, Ctrl); the text of a column in each, in
    // the grid's order.
    void AllowManyRows();
    QStringList SelectedTexts(int column) const;
    // Opens an editor on a row key as text ("" for a new row) and shows the query again when it
    // saved, so the change appears under the same filter or search.
    template <class Editor> void EditRow(const QString& key) {
        Editor editor(this);
        editor.m_strID = key;
        if (editor.DoModal() == IDOK)
            ShowQuery();
    }

    // The window comes back where the user left it, and its size, and its grid with the column
    // widths the user gave it; a window restored off every screen comes back onto one.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool m_placed = false;
    CAdodc* m_adodc;
    CDataGrid* m_grid = nullptr;
    std::vector<float> m_widths;
};
