#pragma once
// How the columns of a printed list share the page's width: each as wide as its widest value and
// its heading need, so that no number, code, phone or date is ever cut. When the page is too narrow
// for all of them, the columns of text (names, titles, remarks) give up room and wrap; only when
// even the others do not fit does every column shrink, and then their values wrap, whole.
#include <QFont>
#include <QFontMetrics>
#include <QList>
#include <QString>
#include <QStringList>

class QPaintDevice;

namespace PrintColumns {
struct Layout {
    QList<int> widths; // device units, padding included; they add up to the page's width at most
    QList<bool> wraps; // a column of text, which may be narrower than its longest value
    int padding = 0;   // kept free on each side of a cell's text
};

// The widths the values and headings need, gathered row by row.
class Measure {
public:
    // padding: kept free on each side of a cell; money: per column, never a column of text.
    Measure(const QFont& font, QPaintDevice* device, const QStringList& headings, const QList<bool>& money,
            int padding);
    void Add(const QStringList& cells);
    // The widths within pageWidth.
    Layout Share(int pageWidth) const;

private:
    int Advance(const QString& text) const;

    QFontMetrics m_metrics;
    QList<bool> m_money;
    int m_padding;
    QList<int> m_heading; // widest line of each heading
    QList<int> m_value;   // widest value of each column
    QList<bool> m_text;   // a value with a blank or a character beyond ASCII: words that may wrap
};

// The lines of text within width, broken at word boundaries, inside a word only where the word is
// wider than width, never inside a character; a line break of the text starts a new line.
QStringList Wrap(const QString& text, const QFont& font, QPaintDevice* device, int width);
} // namespace PrintColumns
