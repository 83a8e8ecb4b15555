#include "toolkit/PrintColumns.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <algorithm>
#include <numeric>

namespace {
// A column of text is never squeezed below this many Chinese characters (nor below its value).
constexpr int kNarrowestText = 4;

bool IsText(const QString& value) {
    return std::any_of(value.cbegin(), value.cend(),
                       [](QChar ch) { return ch.isSpace() || ch.unicode() >= 0x80; });
}

int Sum(const QList<int>& widths) {
    return std::accumulate(widths.cbegin(), widths.cend(), 0);
}
} // namespace

PrintColumns::Measure::Measure(const QFont& font, QPaintDevice* device, const QStringList& headings,
                               const QList<bool>& money, int padding)
    : m_metrics(font, device), m_money(money), m_padding(padding) {
    for (const QString& heading : headings) {
        m_heading << Advance(heading);
        m_value << 0;
        m_text << false;
    }
}

int PrintColumns::Measure::Advance(const QString& text) const {
    if (!text.contains(QLatin1Char('\n')))
        return m_metrics.horizontalAdvance(text);
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, m_metrics.horizontalAdvance(line));
    return widest;
}

void PrintColumns::Measure::Add(const QStringList& cells) {
    for (int i = 0; i < std::min<int>(int(cells.size()), int(m_value.size())); ++i) {
        m_value[i] = std::max(m_value.at(i), Advance(cells.at(i)));
        if (!m_text.at(i) && !m_money.value(i) && IsText(cells.at(i)))
            m_text[i] = true;
    }
}

PrintColumns::Layout PrintColumns::Measure::Share(int pageWidth) const {
    const int pad = 2 * m_padding + 1;
    const int narrowestText = Advance(QString(kNarrowestText, QChar(0x6C49))) + pad; // 汉
    QList<int> want;  // every value and the heading on one line
    QList<int> least; // a text column wraps its words, another column its heading only
    QList<bool> wraps;
    for (int i = 0; i < m_value.size(); ++i) {
        want << std::max(m_value.at(i), m_heading.at(i)) + pad;
        // A value without blanks longer than a third of the page is no code or number: it wraps.
        const bool text = m_text.at(i) || m_value.at(i) + pad > pageWidth / 3;
        least << (text ? std::min(want.at(i), narrowestText) : m_value.at(i) + pad);
        wraps << text;
    }
    Layout layout{want, wraps, m_padding};
    const int wanted = Sum(want);
    if (wanted <= pageWidth) {
        // Room to spare goes to the columns of text, as the window gives it to them; else to all.
        QList<int> takers;
        for (int i = 0; i < want.size(); ++i) {
            if (wraps.at(i))
                takers << i;
        }
        if (takers.isEmpty()) {
            for (int i = 0; i < want.size(); ++i)
                takers << i;
        }
        int share = 0;
        for (const int i : takers)
            share += want.at(i);
        const int spare = pageWidth - wanted;
        for (const int i : takers)
            layout.widths[i] += int(qint64(spare) * want.at(i) / std::max(1, share));
        return layout;
    }
    const int needed = Sum(least);
    if (needed <= pageWidth) {
        // Each column gets back the same part of what it gave up.
        const int given = wanted - needed;
        const int spare = pageWidth - needed;
        for (int i = 0; i < want.size(); ++i)
            layout.widths[i] =
                least.at(i) + int(qint64(want.at(i) - least.at(i)) * spare / std::max(1, given));
        return layout;
    }
    for (int i = 0; i < want.size(); ++i) {
        layout.widths[i] = int(qint64(least.at(i)) * pageWidth / std::max(1, needed));
        layout.wraps[i] = true;
    }
    return layout;
}

QStringList PrintColumns::Wrap(const QString& text, const QFont& font, QPaintDevice* device, int width) {
    // Most cells fit on their line: no layout for them.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
        QFontMetrics(font, device).horizontalAdvance(text) <= width)
        return {text};
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator))
        .replace(QLatin1Char('\n'), QChar::LineSeparator)
        .replace(QLatin1Char('\r'), QChar::LineSeparator);
    QTextLayout layout(shown, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        QString part = shown.mid(line.textStart(), line.textLength());
        while (!part.isEmpty() && (part.back() == QChar::LineSeparator || part.back().isSpace()))
            part.chop(1);
        lines << part;
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}
