#include "Shop.h"
#include "TestRegistry.h"

#include "data/CClientInfo.h"
#include "toolkit/GridPrint.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QList<GridPrint::Column> kColumns{{1, u"编号"_s, 40, false},
                                        {2, u"电话"_s, 60, false},
                                        {5, u"余款"_s, 30, true},
                                        {6, u"备注"_s, 120, false}};

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
