#pragma once
// The browse grid of the management windows, bound to a data control: whole rows, one at a time,
// read-only. The row the user clicks or moves to is the data control's current row. A column is as
// wide as its heading and its first rows need (within a most); columns wider than the grid scroll
// sideways, and a grid wider than its columns gives the rest to the last one. A click on a heading
// sorts by that column, a second click the other way, a third brings back the window's own order
// (the grid's menu does the same from the keyboard). Ctrl+End and the scroll bar's end read every
// row first, so that they reach the last.
#include <QMap>
#include <QTableView>
#include <vector>

class CAdodc;

class CDataGrid : public QTableView {
    Q_OBJECT
public:
    explicit CDataGrid(QWidget* parent = nullptr);

    void SetDataSource(CAdodc* adodc);
    // 0 hides the column. Otherwise the width is in the grid's width unit: a seventh of the width
    // of one Chinese character in the header's font, plus the margins the style puts on both
    // sides of a heading. Whatever the font size, a width of 20 thus holds a heading of two
    // Chinese characters or four digits, and 45 a date such as 2026-01-01. Kept across refreshes of the data
    // control. It is the column's width while the grid has no rows; with rows, their texts decide.
    void SetColumnWidth(int column, float width);
    // The text of that column in the current row; empty when there is none.
    QString GetCellText(int column) const;

    // Lets the user pick several rows (Shift, Ctrl); the current row stays the one the window acts on.
    void AllowManyRows();
    // The rows picked, in the grid's order.
    QList<int> SelectedRows() const;

    // The width in pixels that a width in the grid's unit gets, for the header's current font.
    int PixelsOf(float width) const;

    // The widths in pixels the user gave columns by dragging a heading's edge, by heading. They
    // take the place of the window's own widths, across refreshes, until 恢复默认列宽 in the
    // heading's menu forgets them.
    QMap<QString, int> UserWidths() const { return m_userWidths; }
    void SetUserWidths(const QMap<QString, int>& widths);
    void ResetUserWidths();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The width of column as the window's width, its texts and the user's drag make it.
    int OwnWidth(int column);
    void ShowSortOrder();
    void ToTheEnd();
    void ApplyColumnWidths();
    void ShowCurrentRow(int row);
    int FirstVisibleColumn() const;
    int LastVisibleColumn() const;
    void FillWithLastColumn();
    void Resize(int column, int pixels);
    QString Heading(int column) const;

    CAdodc* m_adodc = nullptr;
    std::vector<float> m_widths; // by column; negative: not set
    std::vector<int> m_content;  // by column, the pixels its texts need, measured once per refresh
    QMap<QString, int> m_userWidths;
    bool m_resizing = false; // set while the grid itself sizes a column
    bool m_moving = false;   // set while the user moves the current row
};
