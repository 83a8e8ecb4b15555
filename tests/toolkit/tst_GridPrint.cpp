#include "Shop.h"
#include "TestRegistry.h"

#include "data/CClientInfo.h"
#include "toolkit/GridPrint.h"

#include <QFile>
#include <QFontMetrics>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QList<GridPrint::Column> kColumns{{1, u"编号"_s, 40, false},
                                        {2, u"电话"_s, 60, false},
                                        {5, u"余款"_s, 30, true},
                                        {6, u"备注"_s, 120, false}};

// A printer writing a PDF file into the folder, in this orientation.
void ToPdf(QPrinter* printer, const QTemporaryDir& folder, QPageLayout::Orientation orientation) {
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(folder.filePath(u"a.pdf"_s));
    printer->setPageOrientation(orientation);
}

int PageWidth(QPrinter* printer) {
    return printer->pageLayout().paintRectPixels(printer->resolution()).width();
}
} // namespace

// The printed list: every row, paginated, to a PDF file as to a printer.
class GridPrintTest : public QObject {
    Q_OBJECT
private slots:
    void pagesForARowCount_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pagesOver"); // pages beyond the whole pages of rows: 0 or 1
        QTest::newRow("none") << 0 << 1;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("three pages and a bit") << -3 << 1;
        QTest::newRow("exactly two pages") << -2 << 0;
    }
    void pagesForARowCount() {
        QFETCH(int, rows);
        QFETCH(int, pagesOver);
        TempShop shop;
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(u"客户.pdf"_s));
        const int perPage = GridPrint::RowsPerPage(&printer);
        QVERIFY(perPage > 20);
        const int count = rows >= 0 ? rows : -rows * perPage + (pagesOver ? perPage / 2 : 0);
        if (count > 0)
            QVERIFY(Db::Exec(
                u"INSERT INTO Client (ClientID, PhoneNum, Balance, Remark) WITH RECURSIVE n(i) AS "
                "(SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1) SELECT 'C'||i, '138', i, '备注'||i "
                "FROM n"_s.arg(count)));
        QString error;
        const int pages = GridPrint::Render(&printer, ClientGrid::All(), kColumns, u"客户管理"_s, &error);
        const int expected = rows >= 0 ? 1 : -rows + pagesOver;
        QCOMPARE(pages, expected);
        QCOMPARE(PdfPages(folder.filePath(u"客户.pdf"_s)), expected);
        QCOMPARE(error, QString());
    }

    // Asked before each page after the first; a no ends the list on the page painted last.
    void listEndsWhereMorePagesAreRefused() {
        TempShop shop;
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(u"a.pdf"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID, Balance) WITH RECURSIVE n(i) AS (SELECT 1 UNION "
                         "ALL SELECT i+1 FROM n WHERE i<%1) SELECT 'C'||i, 0 FROM n"_s.arg(
                             GridPrint::RowsPerPage(&printer) * 5)));
        QList<int> asked;
        QString error;
        QCOMPARE(GridPrint::Render(&printer, ClientGrid::All(), kColumns, u"客户管理"_s, &error,
                                   [&](int pages) {
                                       asked << pages;
                                       return pages < 3;
                                   }),
                 3);
        QCOMPARE(asked, (QList<int>{1, 2, 3}));
        QCOMPARE(PdfPages(folder.filePath(u"a.pdf"_s)), 3);
    }

    // Each column is as wide as its longest value needs: a code, a phone and an amount stand whole
    // on one line in every row; a long remark wraps instead, and the columns keep to the page.
    void columnsGetTheWidthTheirValuesNeed_data() {
        QTest::addColumn<QString>("remark");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("remarkWraps");
        QTest::newRow("short remark") << u"老客户"_s << false << false;
        QTest::newRow("long remark") << u"周末来取,"_s.repeated(40) << false << true;
        QTest::newRow("long remark, landscape") << u"周末来取,"_s.repeated(40) << true << true;
        QTest::newRow("words") << u"calls back after six "_s.repeated(20) << false << true;
        QTest::newRow("one long word") << u"x"_s.repeated(400) << false << true;
    }
    void columnsGetTheWidthTheirValuesNeed() {
        QFETCH(QString, remark);
        QFETCH(bool, landscape);
        QFETCH(bool, remarkWraps);
        TempShop shop;
        QVERIFY(Db::Exec(
            u"INSERT INTO Client (ClientID, PhoneNum, Balance, Remark) VALUES "
            "('C1', '13800138000', 123456.78, '%1'), ('C20001', '0755-88886666-1234', -0.5, '')"_s.arg(
                remark)));
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        ToPdf(&printer, folder, landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        QString error;
        const GridPrint::Layout layout = GridPrint::LayOut(&printer, ClientGrid::All(), kColumns, &error);
        QVERIFY(layout.read);
        const QList<int>& widths = layout.columns.widths;
        QCOMPARE(widths.size(), kColumns.size());
        int total = 0;
        for (const int width : widths)
            total += width;
        QVERIFY2(total <= PageWidth(&printer), qPrintable(u"%1 > %2"_s.arg(total).arg(PageWidth(&printer))));
        const QFontMetrics metrics(GridPrint::Font(), &printer);
        const int pad = 2 * layout.columns.padding;
        for (const QString& value :
             {u"C20001"_s, u"13800138000"_s, u"0755-88886666-1234"_s, u"123456.78"_s}) {
            const int column = value.startsWith(u'C') ? 0 : value.contains(u'.') ? 2 : 1;
            QVERIFY2(metrics.horizontalAdvance(value) + pad <= widths.at(column), qPrintable(value));
            QCOMPARE(PrintColumns::Wrap(value, GridPrint::Font(), &printer, widths.at(column) - pad),
                     QStringList{value});
        }
        QCOMPARE(layout.columns.wraps, (QList<bool>{false, false, false, true}));
        const QStringList lines = PrintColumns::Wrap(remark, GridPrint::Font(), &printer, widths.at(3) - pad);
        QCOMPARE(lines.size() > 1, remarkWraps);
        QVERIFY(widths.at(3) >= metrics.horizontalAdvance(u"备注"_s) + pad);
        QCOMPARE(GridPrint::Render(&printer, ClientGrid::All(), kColumns, u"客户管理"_s, &error), 1);
    }

    // A line is never wider than its room, and the lines hold every character of the text, none cut.
    void wrapKeepsEveryCharacter_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("chineseCharacters"); // the room
        QTest::newRow("Chinese") << u"十面埋伏之无间道英雄本色"_s.repeated(5) << 7;
        QTest::newRow("words") << u"The Good, the Bad and the Ugly"_s << 6;
        QTest::newRow("a word longer than the room") << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"_s << 3;
        QTest::newRow("characters beyond the basic plane") << u"𠀋𡈽😀𠮷"_s.repeated(8) << 3;
        QTest::newRow("line breaks") << u"第一行\n第二行\r\n第三行"_s << 20;
        QTest::newRow("empty") << QString() << 4;
    }
    void wrapKeepsEveryCharacter() {
        QFETCH(QString, text);
        QFETCH(int, chineseCharacters);
        QPrinter printer(QPrinter::HighResolution);
        const QFontMetrics metrics(GridPrint::Font(), &printer);
        const int width = metrics.horizontalAdvance(u"汉"_s.repeated(chineseCharacters));
        const QStringList lines = PrintColumns::Wrap(text, GridPrint::Font(), &printer, width);
        QString rest = text;
        rest.remove(QRegularExpression(u"\\s"_s));
        QCOMPARE(lines.join(QString()).remove(QRegularExpression(u"\\s"_s)), rest);
        for (const QString& line : lines) {
            QVERIFY2(metrics.horizontalAdvance(line) <= width, qPrintable(line));
            QVERIFY(line.isEmpty() || !line.front().isLowSurrogate());
            QVERIFY(line.isEmpty() || !line.back().isHighSurrogate());
        }
        QCOMPARE(lines.size() > 1, text.contains(u'\n') || metrics.horizontalAdvance(text) > width);
    }

    // A row of wrapped cells takes their lines; the lines under the rows follow the last row, on a
    // page of their own when it is full.
    void wrappedRowsAndNotesTakeTheirRoom_data() {
        QTest::addColumn<int>("pageRows"); // rows, in pages of rows of one line
        QTest::addColumn<int>("remarkLines");
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("pages");
        QTest::newRow("one line each") << 1 << 1 << 0 << 1;
        QTest::newRow("three lines each") << 1 << 3 << 0 << 3;
        QTest::newRow("notes under a full page") << 1 << 1 << 5 << 2;
        QTest::newRow("notes with no rows") << 0 << 1 << 5 << 1;
    }
    void wrappedRowsAndNotesTakeTheirRoom() {
        QFETCH(int, pageRows);
        QFETCH(int, remarkLines);
        QFETCH(int, notes);
        QFETCH(int, pages);
        TempShop shop;
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        ToPdf(&printer, folder, QPageLayout::Portrait);
        // Words of half the page: each on a line of its own.
        const QString word = u"x"_s.repeated(
            PageWidth(&printer) / 2 / QFontMetrics(GridPrint::Font(), &printer).horizontalAdvance(u"x"_s));
        const QStringList words(remarkLines, word);
        const int rows = pageRows * GridPrint::RowsPerPage(&printer);
        if (rows > 0)
            QVERIFY(
                Db::Exec(u"INSERT INTO Client (ClientID, PhoneNum, Balance, Remark) WITH RECURSIVE n(i) AS "
                         "(SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1) SELECT 'C'||i, '138', i, '%2' "
                         "FROM n"_s.arg(rows)
                             .arg(words.join(u' '))));
        QString error;
        QCOMPARE(GridPrint::Render(&printer, ClientGrid::All(), kColumns, u"客户管理"_s, &error, {},
                                   QStringList(notes, u"实点现金:100.00 元"_s)),
                 pages);
        QCOMPARE(PdfPages(folder.filePath(u"a.pdf"_s)), pages);
    }

    void failedStatementSaysSo() {
        TempShop shop;
        QTemporaryDir folder;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(u"a.pdf"_s));
        QString error;
        QCOMPARE(GridPrint::Render(&printer, u"SELECT * FROM Gone"_s, kColumns, u"客户管理"_s, &error), -1);
        QVERIFY(error.contains(u"Gone"_s));
    }
};
VORIX_TEST(GridPrintTest)
#include "tst_GridPrint.moc"
