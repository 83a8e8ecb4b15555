#include "toolkit/GridPrint.h"

#include "base/Clock.h"
#include "base/Prompter.h"
#include "data/CAdodc.h"
#include "data/RowStream.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CPrintPreview.h"
#include "toolkit/PrintColumns.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>

namespace {
constexpr double kFontPoints = 9;
constexpr double kTitlePoints = 13;

// The lines of a page, in device units: what stands above the rows, a row, what stands below.
struct PageLines {
    int row = 0;
    int top = 0;    // from the top of the page's paint rectangle to the first row
    int bottom = 0; // kept free for the page number
    int rows = 0;   // rows a page holds
};

QFont BodyFont() {
    QFont font;
    font.setPointSizeF(kFontPoints);
    return font;
}

PageLines Lines(QPrinter* printer) {
    const QFont font = BodyFont();
    QFont titleFont = font;
    titleFont.setPointSizeF(kTitlePoints);
    titleFont.setBold(true);
    const QFontMetrics body(font, printer);
    const QFontMetrics title(titleFont, printer);
    PageLines lines;
    lines.row = body.lineSpacing() * 13 / 10;
    lines.top = title.lineSpacing() * 2 + lines.row;
    lines.bottom = lines.row * 2;
    const int height = printer->pageLayout().paintRectPixels(printer->resolution()).height();
    lines.rows = std::max(1, (height - lines.top - lines.bottom) / lines.row);
    return lines;
}
int Padding(const PageLines& lines) {
    return lines.row / 6;
}

int PageWidth(QPrinter* printer) {
    return printer->pageLayout().paintRectPixels(printer->resolution()).width();
}
} // namespace

QFont GridPrint::Font() {
    return BodyFont();
}

int GridPrint::RowsPerPage(QPrinter* printer) {
    return Lines(printer).rows;
}

GridPrint::Layout GridPrint::LayOut(QPrinter* printer, const QString& sql, const QList<Column>& columns,
                                    QString* error) {
    QStringList headings;
    QList<bool> money;
    QList<int> indexes;
    for (const Column& column : columns) {
        headings << column.heading;
        money << column.money;
        indexes << column.index;
    }
    const PageLines lines = Lines(printer);
    PrintColumns::Measure measure(BodyFont(), printer, headings, money, Padding(lines));
    // The rows past what the preview holds are not printed from it; printed otherwise, a wider value
    // among them wraps.
    const qint64 limit = qint64(kMaxPreviewPages) * lines.rows;
    qint64 rows = 0;
    const bool read = RowStream::Each(
        sql, indexes,
        [&](const QStringList& cells) {
            measure.Add(cells);
            return ++rows < limit;
        },
        error);
    return {read, measure.Share(PageWidth(printer))};
}

int GridPrint::Render(QPrinter* printer, const QString& sql, const QList<Column>& columns,
                      const QString& title, QString* error, const MorePages& more, const QStringList& notes,
                      const Above& above) {
    const Layout layout = LayOut(printer, sql, columns, error);
    if (!layout.read)
        return -1;
    const PageLines lines = Lines(printer);
    QPainter painter;
    if (!painter.begin(printer)) {
        *error = QStringLiteral("无法开始打印。");
        return -1;
    }
    const QFont font = BodyFont();
    QFont titleFont = font;
    titleFont.setPointSizeF(kTitlePoints);
    titleFont.setBold(true);
    const QRect page(QPoint(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
    const int pad = Padding(lines);
    const int lineHeight = QFontMetrics(font, printer).lineSpacing();
    QList<int> lefts;
    int x = 0;
    for (const int width : layout.columns.widths) {
        lefts << x;
        x += width;
    }
    // A row as high as its cell of the most lines; the first line where a row of one line stands.
    const auto wrapRow = [&](const QStringList& cells, QList<QStringList>* wrapped) {
        int most = 1;
        for (int i = 0; i < cells.size() && i < lefts.size(); ++i) {
            wrapped->append(
                PrintColumns::Wrap(cells.at(i), font, printer, layout.columns.widths.at(i) - 2 * pad));
            most = std::max(most, int(wrapped->back().size()));
        }
        return lines.row + (most - 1) * lineHeight;
    };
    const auto drawRow = [&](const QList<QStringList>& wrapped, int y) {
        for (int i = 0; i < wrapped.size(); ++i) {
            const Qt::Alignment align =
                (columns.at(i).money ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
            int top = y + (lines.row - lineHeight) / 2;
            for (const QString& line : wrapped.at(i)) {
                painter.drawText(
                    QRect(lefts.at(i) + pad, top, layout.columns.widths.at(i) - 2 * pad, lineHeight),
                    int(align), line);
                top += lineHeight;
            }
        }
    };
    QStringList headings;
    for (const Column& column : columns)
        headings << column.heading;
    QList<QStringList> headingLines;
    const int headingHeight = wrapRow(headings, &headingLines);
    const int firstRow = lines.top - lines.row + headingHeight;
    const int lastRow = lines.top + lines.rows * lines.row; // rows end here; the page number below
    const QString date =
        QStringLiteral("打印日期:") + Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd"));
    int pages = 0;
    int y = lastRow; // a new page before the first row
    const auto startPage = [&] {
        if (pages > 0)
            printer->newPage();
        ++pages;
        painter.setFont(titleFont);
        painter.drawText(QRect(0, 0, page.width(), lines.top - lines.row), Qt::AlignLeft | Qt::AlignTop,
                         title);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, page.width(), lines.top - lines.row), Qt::AlignRight | Qt::AlignTop,
                         date);
        const int band = pages == 1 && above ? page.height() / 3 : 0;
        if (band > 0)
            above(painter, QRect(0, lines.top - lines.row, page.width(), band - lines.row));
        drawRow(headingLines, lines.top - lines.row + band);
        painter.drawLine(0, firstRow + band, page.width(), firstRow + band);
        painter.drawText(QRect(0, page.height() - lines.row, page.width(), lines.row), Qt::AlignCenter,
                         QStringLiteral("第 %1 页").arg(pages));
        y = firstRow + band;
    };
    QList<int> indexes;
    for (const Column& column : columns)
        indexes << column.index;
    bool cut = false;
    const bool read = RowStream::Each(
        sql, indexes,
        [&](const QStringList& cells) {
            QList<QStringList> wrapped;
            const int height = wrapRow(cells, &wrapped);
            if (y + height > lastRow && (pages == 0 || y > firstRow)) {
                if (pages > 0 && more && !more(pages)) {
                    cut = true;
                    return false;
                }
                startPage();
            }
            drawRow(wrapped, y);
            y += height;
            return true;
        },
        error);
    if (pages == 0)
        startPage();
    if (cut) {
        painter.drawText(QRect(0, page.height() - lines.row, page.width(), lines.row),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("清单未完:后面的行没有打印。"));
    } else if (!notes.isEmpty()) {
        // Under the last row, with a line between; on a page of their own when they do not fit.
        y += lines.row / 2;
        painter.drawLine(0, y, page.width(), y);
        y += lines.row / 2;
        for (const QString& note : notes) {
            const QStringList noteLines = PrintColumns::Wrap(note, font, printer, page.width());
            const int height = int(noteLines.size()) * lines.row;
            if (y + height > lastRow && y > firstRow)
                startPage();
            for (const QString& line : noteLines) {
                painter.drawText(QRect(0, y, page.width(), lines.row), Qt::AlignLeft | Qt::AlignVCenter,
                                 line);
                y += lines.row;
            }
        }
    }
    painter.end();
    return read ? pages : -1;
}

QList<GridPrint::Column> GridPrint::Columns(const CAdodc& adodc, const CDataGrid& grid) {
    QList<Column> columns;
    for (int column = 0; column < adodc.columnCount(); ++column) {
        if (!grid.isColumnHidden(column))
            columns.append({column, adodc.headerData(column, Qt::Horizontal).toString(),
                            grid.columnWidth(column), adodc.IsMoney(column)});
    }
    return columns;
}

void GridPrint::Preview(QWidget* parent, const CAdodc& adodc, const CDataGrid& grid, const QString& title,
                        int maxPages, const QStringList& notes, const Above& above) {
    const QList<Column> columns = Columns(adodc, grid);
    const QString sql = adodc.RecordSource();
    if (sql.isEmpty() || columns.isEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    CPrintPreview preview(&printer, title, parent);
    QString error;
    bool told = false; // of a list longer than the preview holds
    QObject::connect(&preview, &CPrintPreview::paintRequested, &preview, [&](QPrinter* target) {
        // The preview asks again after every change of the page set-up.
        QProgressDialog progress(QStringLiteral("正在排版……"), QStringLiteral("取消"), 0, 0, &preview);
        progress.setWindowTitle(QStringLiteral("打印"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        progress.setValue(0); // starts the 300 ms: a busy dialog would otherwise wait the default 4 s
        QElapsedTimer events;
        events.start();
        bool cancelled = false;
        bool cut = false;
        Render(
            target, sql, columns, title, &error,
            [&](int pages) {
                if (events.elapsed() >= 50) {
                    progress.setLabelText(QStringLiteral("正在排版……第 %1 页").arg(pages));
                    QCoreApplication::processEvents();
                    events.restart();
                }
                cancelled = progress.wasCanceled();
                cut = pages >= maxPages;
                return !cancelled && !cut;
            },
            notes, above);
        if (cancelled) {
            QTimer::singleShot(0, &preview, &QDialog::reject);
        } else if (cut && !told) {
            told = true;
            QTimer::singleShot(0, &preview, [maxPages] {
                Prompter::MessageBox(
                    QStringLiteral("这份清单超过 %1 页,只预览和打印前 %1 页。\n要全部的行,请先筛选,"
                                   "或用“导出”。")
                        .arg(maxPages),
                    QStringLiteral("打印"), MsgIcon::Information);
            });
        }
    });
    preview.exec();
    if (!error.isEmpty())
        Prompter::MessageBox(QStringLiteral("无法读出要打印的行:\n%1").arg(error), QStringLiteral("打印"),
                             MsgIcon::Error);
}
