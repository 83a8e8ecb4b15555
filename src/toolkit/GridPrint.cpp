#include "toolkit/GridPrint.h"

#include "base/Clock.h"
#include "base/Prompter.h"
#include "data/CAdodc.h"
#include "data/RowStream.h"
#include "toolkit/CDataGrid.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>

namespace {
constexpr double kFontPoints = 9;
constexpr double kTitlePoints = 13;
constexpr int kWidestColumn = 160; // screen pixels

// The lines of a page, in device units: what stands above the rows, a row, what stands below.
struct PageLines {
    int row = 0;
    int top = 0;    // from the top of the page's paint rectangle to the first row
    int bottom = 0; // kept free for the page number
    int rows = 0;   // rows a page holds
};

PageLines Lines(QPrinter* printer) {
    QFont font;
    font.setPointSizeF(kFontPoints);
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
} // namespace

int GridPrint::RowsPerPage(QPrinter* printer) {
    return Lines(printer).rows;
}

int GridPrint::Render(QPrinter* printer, const QString& sql, const QList<Column>& columns,
                      const QString& title, QString* error, const MorePages& more) {
    const PageLines lines = Lines(printer);
    QPainter painter;
    if (!painter.begin(printer)) {
        *error = QStringLiteral("无法开始打印。");
        return -1;
    }
    QFont font;
    font.setPointSizeF(kFontPoints);
    QFont titleFont = font;
    titleFont.setPointSizeF(kTitlePoints);
    titleFont.setBold(true);
    const QRect page(QPoint(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
    // The columns share the page's width as they share the window's, but for the room the window
    // gives its last column: no column takes more than a wide remark's share.
    const auto weight = [](const Column& column) { return std::clamp(column.width, 1, kWidestColumn); };
    int total = 0;
    for (const Column& column : columns)
        total += weight(column);
    QList<QRect> cells;
    int x = 0;
    for (const Column& column : columns) {
        const int width = page.width() * weight(column) / std::max(1, total);
        cells << QRect(x, 0, width, lines.row);
        x += width;
    }
    const QString date =
        QStringLiteral("打印日期:") + Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd"));
    int pages = 0;
    int onPage = lines.rows; // a new page before the first row
    const auto cell = [&](int i, int y, const QString& text) {
        const QRect box = cells.at(i).translated(0, y).adjusted(lines.row / 6, 0, -lines.row / 6, 0);
        const Qt::Alignment align = (columns.at(i).money ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        painter.drawText(box, int(align),
                         painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
    };
    const auto startPage = [&] {
        if (pages > 0)
            printer->newPage();
        ++pages;
        onPage = 0;
        painter.setFont(titleFont);
        painter.drawText(QRect(0, 0, page.width(), lines.top - lines.row), Qt::AlignLeft | Qt::AlignTop,
                         title);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, page.width(), lines.top - lines.row), Qt::AlignRight | Qt::AlignTop,
                         date);
        const int y = lines.top - lines.row;
        for (int i = 0; i < columns.size(); ++i)
            cell(i, y, columns.at(i).heading);
        painter.drawLine(0, lines.top, page.width(), lines.top);
        painter.drawText(QRect(0, page.height() - lines.row, page.width(), lines.row), Qt::AlignCenter,
                         QStringLiteral("第 %1 页").arg(pages));
    };
    QList<int> indexes;
    for (const Column& column : columns)
        indexes << column.index;
    bool cut = false;
    const bool read = RowStream::Each(
        sql, indexes,
        [&](const QStringList& cells) {
            if (onPage == lines.rows) {
                if (pages > 0 && more && !more(pages)) {
                    cut = true;
                    return false;
                }
                startPage();
            }
            const int y = lines.top + onPage * lines.row;
            for (int i = 0; i < cells.size(); ++i)
                cell(i, y, cells.at(i));
            ++onPage;
            return true;
        },
        error);
    if (pages == 0)
        startPage();
    if (cut)
        painter.drawText(QRect(0, page.height() - lines.row, page.width(), lines.row),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("清单未完:后面的行没有打印。"));
    painter.end();
    return read ? pages : -1;
}

void GridPrint::Preview(QWidget* parent, const CAdodc& adodc, const CDataGrid& grid, const QString& title,
                        int maxPages) {
    QList<Column> columns;
    for (int column = 0; column < adodc.columnCount(); ++column) {
        if (!grid.isColumnHidden(column))
            columns.append({column, adodc.headerData(column, Qt::Horizontal).toString(),
                            grid.columnWidth(column), adodc.IsMoney(column)});
    }
    const QString sql = adodc.RecordSource();
    if (sql.isEmpty() || columns.isEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("打印预览 - ") + title);
    QString error;
    bool told = false; // of a list longer than the preview holds
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
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
        Render(target, sql, columns, title, &error, [&](int pages) {
            if (events.elapsed() >= 50) {
                progress.setLabelText(QStringLiteral("正在排版……第 %1 页").arg(pages));
                QCoreApplication::processEvents();
                events.restart();
            }
            cancelled = progress.wasCanceled();
            cut = pages >= maxPages;
            return !cancelled && !cut;
        });
        if (cancelled) {
            QTimer::singleShot(0, &preview, &QDialog::reject);
        } else if (cut && !told) {
            told = true;
            QTimer::singleShot(0, &preview, [maxPages] {
                MessageBox(QStringLiteral("这份清单超过 %1 页,只预览和打印前 %1 页。\n要全部的行,请先筛选,"
                                          "或用“导出”。")
                               .arg(maxPages),
                           QStringLiteral("打印"), MsgIcon::Information);
            });
        }
    });
    preview.exec();
    if (!error.isEmpty())
        MessageBox(QStringLiteral("无法读出要打印的行:\n%1").arg(error), QStringLiteral("打印"),
                   MsgIcon::Error);
}
