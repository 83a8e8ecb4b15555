#include "Shop.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CDataList.h"
#include "toolkit/ColumnFit.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QTest>

namespace {
// The grids of the film, client and rental windows, as those windows query and size them.
const char* const kFilmQuery =
    "SELECT ID, FilmID AS 编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型,"
    "Class1 AS 分类1, Class2 AS 分类2, StgDate AS 入库日期, Degree AS 租次,Remark AS 备注 "
    "FROM Film ORDER BY ID DESC";
const char* const kClientQuery =
    "SELECT ID, ClientID AS 编号, PhoneNum AS 电话, CreateDate AS 开户日期, Foregift AS "
    "押金,Balance AS 余款, Remark AS 备注 FROM Client ORDER BY ID DESC";
const char* const kRecordQuery =
    "SELECT r.ID, r.ClientID AS 客户编号, r.FilmID AS 影片编号, f.FilmName AS 影片名字,r.Type AS "
    "类型,r.Foregift AS "
    "押金,r.BorrowDate AS 租借日期, r.ReturnDate AS 还回日期,r.OptUser AS 操作员 FROM Record r,Film f WHERE "
    "r.FilmID=f.FilmID ORDER BY r.ID DESC";
const QList<float> kFilmWidths{0, 40, 80, 40, 20, 30, 30, 45, 20, 200};
const QList<float> kClientWidths{0, 40, 60, 45, 25, 25, 200};
const QList<float> kRecordWidths{0, 40, 40, 80, 20, 20, 45, 45, 50};

void AddFilms(int count) {
    QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID, FilmName, StgDate) WITH RECURSIVE n(i) AS "
                                    "(SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1) "
                                    "SELECT 'F'||i, '片'||i, '2005-11-20' FROM n")
                         .arg(count)));
}

// Shows the query as the windows do: set it, refresh, then size every column.
void Show(CAdodc& adodc, CDataGrid& grid, const QString& sql, const QList<float>& widths) {
    adodc.SetRecordSource(sql);
    adodc.Refresh();
    for (int column = 0; column < widths.size(); ++column)
        grid.SetColumnWidth(column, widths.at(column));
}

// The width the style itself asks for to show a heading whole.
int HeadingNeeds(const QHeaderView* header, const QString& text) {
    QStyleOptionHeader option;
    option.initFrom(header);
    option.text = text;
    option.fontMetrics = header->fontMetrics();
    option.orientation = Qt::Horizontal;
    const int styleWidth =
        header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, &option, header);
    return qMax(styleWidth, header->fontMetrics().horizontalAdvance(text) + 2 * margin);
}

QPoint CellCentre(const CDataGrid& grid, int row, int column) {
    return grid.visualRect(grid.model()->index(row, column)).center();
}
} // namespace

class DataGridTest : public QObject {
    Q_OBJECT
private slots:
    // A narrow amount column still holds the largest amount to the cent, right-aligned; other
    // columns keep to what they show.
    void amountsAreNeverCut() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Client (ClientID, Foregift, Balance) VALUES ('C1', 9999, -9999)")));
        CAdodc adodc;
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        grid.resize(600, 300);
        grid.show();
        Show(adodc, grid,
             QStringLiteral("SELECT ID, ClientID AS 编号, Foregift AS 押金, Balance AS 余款 FROM Client"),
             {0, 20, 20, 20});
        const int needed = grid.fontMetrics().horizontalAdvance(QStringLiteral("-9999.00"));
        QVERIFY(grid.columnWidth(2) >= needed && grid.columnWidth(2) > grid.PixelsOf(20));
        QVERIFY(grid.columnWidth(1) < needed); // the code's column is not widened
        QCOMPARE(grid.model()->data(grid.model()->index(0, 3)).toString(), QStringLiteral("-9999.00"));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void idColumnIsHiddenButRead() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(3);
        CAdodc adodc;
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        QVERIFY(grid.isColumnHidden(0));
        QVERIFY(!grid.isColumnHidden(1));
        QCOMPARE(grid.GetCellText(0), QStringLiteral("3"));
        QCOMPARE(grid.GetCellText(1), QStringLiteral("F3"));
        QCOMPARE(grid.GetCellText(7), QStringLiteral("2005-11-20"));
        QCOMPARE(grid.GetCellText(10), QString());
        // A refresh resets the header; the widths stay as set.
        const int codeWidth = grid.columnWidth(1);
        const int remarkWidth = grid.columnWidth(9);
        adodc.Refresh();
        QVERIFY(grid.isColumnHidden(0));
        QCOMPARE(grid.columnWidth(1), codeWidth);
        QCOMPARE(grid.columnWidth(9), remarkWidth);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void emptyResultHasNoCurrentRow() {
        TempShop shop;
        BoxRecorder boxes;
        CAdodc adodc;
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        QVERIFY(adodc.IsEOF());
        QCOMPARE(grid.GetCellText(0), QString());
        QVERIFY(!grid.selectionModel()->hasSelection());
        QCOMPARE(grid.model()->columnCount(), 10);
    }

    void clicksAndKeysMoveTheCurrentRow() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(5);
        CAdodc adodc;
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        grid.resize(700, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        QCOMPARE(adodc.CurrentRow(), 0);
        QVERIFY(grid.selectionModel()->isRowSelected(0));

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 3));
        QCOMPARE(adodc.CurrentRow(), 2);
        QCOMPARE(grid.GetCellText(0), QStringLiteral("3"));
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(adodc.CurrentRow(), 3);
        QCOMPARE(grid.GetCellText(1), QStringLiteral("F2"));
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(adodc.CurrentRow(), 1);
        // One whole row is selected at a time, also when Shift or Control is held.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier, CellCentre(grid, 4, 1));
        QTest::keyClick(&grid, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
        QVERIFY(grid.selectionModel()->isRowSelected(adodc.CurrentRow()));
        QCOMPARE(grid.GetCellText(0), QString::number(5 - adodc.CurrentRow()));

        adodc.Refresh();
        QCOMPARE(adodc.CurrentRow(), 0);
        QVERIFY(grid.selectionModel()->isRowSelected(0));
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
        QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void scrollingFetchesMoreRows() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(5 * CAdodc::kFetchRows);
        CAdodc adodc;
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        grid.resize(700, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        QCoreApplication::processEvents();
        QCOMPARE(adodc.rowCount(), CAdodc::kFetchRows); // a screen needs no more
        for (int i = 0; i < 3 * CAdodc::kFetchRows; ++i)
            QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(adodc.CurrentRow(), 3 * CAdodc::kFetchRows);
        QCOMPARE(grid.GetCellText(1), QStringLiteral("F%1").arg(2 * CAdodc::kFetchRows));
        QVERIFY(adodc.rowCount() < 5 * CAdodc::kFetchRows);
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
        QVERIFY(adodc.rowCount() > 3 * CAdodc::kFetchRows + 1);
    }

    // Every heading of the three windows' grids shows whole at the width its window gives it, at
    // small and large fonts alike.
    void headingsFitTheirWidths_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QList<float>>("widths");
        QTest::addColumn<int>("pointSize");
        for (int points : {7, 9, 12, 16}) {
            QTest::addRow("films %dpt", points) << QString::fromUtf8(kFilmQuery) << kFilmWidths << points;
            QTest::addRow("clients %dpt", points)
                << QString::fromUtf8(kClientQuery) << kClientWidths << points;
            QTest::addRow("rentals %dpt", points)
                << QString::fromUtf8(kRecordQuery) << kRecordWidths << points;
        }
    }
    void headingsFitTheirWidths() {
        QFETCH(QString, sql);
        QFETCH(QList<float>, widths);
        QFETCH(int, pointSize);
        TempShop shop;
        BoxRecorder boxes;
        CAdodc adodc;
        CDataGrid grid;
        QFont font = grid.horizontalHeader()->font();
        font.setPointSize(pointSize);
        grid.horizontalHeader()->setFont(font);
        grid.setFont(font);
        grid.SetDataSource(&adodc);
        Show(adodc, grid, sql, widths);
        QCOMPARE(boxes.Boxes().size(), 0);
        const QHeaderView* header = grid.horizontalHeader();
        QCOMPARE(header->count(), int(widths.size()));
        for (int column = 1; column < header->count(); ++column) {
            const QString heading = adodc.headerData(column, Qt::Horizontal).toString();
            QVERIFY2(header->sectionSize(column) >= HeadingNeeds(header, heading),
                     qPrintable(QStringLiteral("%1: %2 < %3")
                                    .arg(heading)
                                    .arg(header->sectionSize(column))
                                    .arg(HeadingNeeds(header, heading))));
        }
    }

    void widthsFollowTheFont() {
        TempShop shop;
        BoxRecorder boxes;
        CAdodc adodc;
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        const int before = grid.columnWidth(9);
        // The header keeps a font of its own (the desktop's header font), which the unit follows.
        QFont font = grid.horizontalHeader()->font();
        font.setPointSize(font.pointSize() * 2);
        grid.horizontalHeader()->setFont(font);
        QVERIFY(grid.columnWidth(9) > before * 3 / 2);
        QVERIFY(grid.isColumnHidden(0));
    }

    // Columns wider than the grid keep their widths and scroll sideways; a grid wider than its
    // columns gives the room left to the last column, and takes it back when it narrows again.
    void wideColumnsScrollSideways() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(3);
        CAdodc adodc;
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        const int columns = grid.horizontalHeader()->length();
        const auto lastColumnShows = [&] {
            const int left = grid.columnViewportPosition(9);
            return left >= 0 && left + grid.columnWidth(9) <= grid.viewport()->width();
        };

        grid.resize(columns / 2, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QVERIFY(grid.horizontalScrollBar()->isVisible());
        const int remark = grid.columnWidth(9); // its own width: no room is left to give it
        QVERIFY(!lastColumnShows());
        grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
        QVERIFY(lastColumnShows());

        grid.resize(columns + 200, 300);
        QCoreApplication::processEvents();
        QVERIFY(!grid.horizontalScrollBar()->isVisible());
        QCOMPARE(grid.horizontalHeader()->length(), grid.viewport()->width());
        QVERIFY(grid.columnWidth(9) > remark);

        grid.resize(columns / 2, 300);
        QCoreApplication::processEvents();
        QVERIFY(grid.horizontalScrollBar()->isVisible());
        QCOMPARE(grid.columnWidth(9), remark);
        grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
        QVERIFY(lastColumnShows());

        // A refresh while narrow lays the columns out at their widths again.
        adodc.Refresh();
        QCoreApplication::processEvents();
        QVERIFY(grid.horizontalScrollBar()->isVisible());
        QCOMPARE(grid.columnWidth(9), remark);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    // A column is as wide as its texts need: the actors show whole, the remark takes no more than
    // its text; a text longer than the most shows its start; a width the user dragged still wins.
    void columnsAreAsWideAsTheirTexts() {
        TempShop shop;
        BoxRecorder boxes;
        const QString actors = QStringLiteral("梁朝伟 / 张曼玉 / 刘嘉玲 / 张国荣");
        const QString longTitle = QString(40, QChar(0x957F)); // 长 ×40
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Film (FilmID, FilmName, Playactor, Type, StgDate, Remark) "
                                    "VALUES ('F1', '%1', '%2', 'DVD', '2026-01-01', '好')")
                         .arg(longTitle, actors)));
        CAdodc adodc;
        QAbstractItemModelTester tester(&adodc, QAbstractItemModelTester::FailureReportingMode::QtTest);
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        grid.resize(1000, 400);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        const QFontMetrics metrics = grid.fontMetrics();
        QVERIFY(grid.columnWidth(3) > metrics.horizontalAdvance(actors));
        QVERIFY(grid.columnWidth(7) > metrics.horizontalAdvance(QStringLiteral("2026-01-01")));
        QVERIFY(grid.columnWidth(7) < grid.PixelsOf(80));
        const int most = ColumnFit::kMostCharacters * metrics.horizontalAdvance(QChar(0x4E2D));
        QVERIFY(grid.columnWidth(2) >= most && grid.columnWidth(2) < most + grid.PixelsOf(20));
        // Every heading shows whole beside the room of its arrow.
        for (int column = 1; column < 10; ++column) {
            const QString heading = adodc.headerData(column, Qt::Horizontal).toString();
            QVERIFY2(grid.columnWidth(column) >= HeadingNeeds(grid.horizontalHeader(), heading),
                     qPrintable(heading));
        }
        // The last column takes the room left, and no more than that.
        QCOMPARE(grid.horizontalHeader()->length(), grid.viewport()->width());

        // Dragged, and kept across a refresh.
        grid.horizontalHeader()->resizeSection(3, 60);
        adodc.Refresh();
        QCOMPARE(grid.columnWidth(3), 60);
        grid.ResetUserWidths();
        QVERIFY(grid.columnWidth(3) > metrics.horizontalAdvance(actors));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    // A click on a heading sorts by that column, the next the other way (the same rows read
    // backwards), the third brings back the window's order; the order stays for the next statement.
    void aClickOnAHeadingSorts() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID, FilmName, Playactor, StgDate) VALUES "
                                        "('F1', '乙', 'b', '2026-01-03'), ('F2', '甲', 'A', '2026-01-01'), "
                                        "('F3', '丙', 'a', '2026-01-02'), ('F4', '甲', 'C', '2026-01-02')")));
        CAdodc adodc;
        QAbstractItemModelTester tester(&adodc, QAbstractItemModelTester::FailureReportingMode::QtTest);
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        grid.resize(900, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        const auto codes = [&] {
            QStringList shown;
            for (int row = 0; row < adodc.rowCount(); ++row)
                shown << adodc.Text(row, 1);
            return shown.join(QLatin1Char(' '));
        };
        const auto click = [&](int column) {
            QHeaderView* header = grid.horizontalHeader();
            const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        };
        QCOMPARE(codes(), QStringLiteral("F4 F3 F2 F1"));
        click(7); // 入库日期
        QCOMPARE(codes(), QStringLiteral("F2 F3 F4 F1"));
        QCOMPARE(adodc.CurrentRow(), 0);
        click(7);
        QCOMPARE(codes(), QStringLiteral("F1 F4 F3 F2"));
        click(7);
        QCOMPARE(codes(), QStringLiteral("F4 F3 F2 F1"));
        QCOMPARE(grid.horizontalHeader()->sortIndicatorSection(), -1);
        click(3); // 主演, letter case aside
        QCOMPARE(codes(), QStringLiteral("F2 F3 F1 F4"));
        QCOMPARE(grid.horizontalHeader()->sortIndicatorSection(), 3);
        // A search keeps the order chosen, hostile text and all.
        adodc.SetRecordSource(QString::fromUtf8(kFilmQuery)
                                  .replace(QStringLiteral("ORDER BY"),
                                           QStringLiteral("WHERE FilmName <> ') ORDER BY 2 --''' ORDER BY")));
        adodc.Refresh();
        QCOMPARE(codes(), QStringLiteral("F2 F3 F1 F4"));
        QCOMPARE(grid.horizontalHeader()->sortIndicatorSection(), 3);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    // Ctrl+End and the scroll bar's end read the rows not yet fetched and reach the last one.
    void ctrlEndAndTheScrollBarReachTheLastRow() {
        TempShop shop;
        BoxRecorder boxes;
        const int films = 5 * CAdodc::kFetchRows + 3;
        AddFilms(films);
        CAdodc adodc;
        QAbstractItemModelTester tester(&adodc, QAbstractItemModelTester::FailureReportingMode::QtTest);
        CDataGrid grid;
        grid.SetDataSource(&adodc);
        grid.resize(700, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        Show(adodc, grid, QString::fromUtf8(kFilmQuery), kFilmWidths);
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(adodc.rowCount(), films);
        QCOMPARE(adodc.CurrentRow(), films - 1);
        QCOMPARE(grid.GetCellText(1), QStringLiteral("F1"));
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid.GetCellText(1), QStringLiteral("F%1").arg(films));

        // The thumb let go at the bottom, and the bar's own "bottom".
        for (const bool drag : {true, false}) {
            adodc.Refresh();
            QCOMPARE(adodc.rowCount(), CAdodc::kFetchRows);
            QScrollBar* bar = grid.verticalScrollBar();
            if (drag) {
                bar->setSliderDown(true);
                bar->setValue(bar->maximum());
                bar->setSliderDown(false);
            } else {
                bar->triggerAction(QAbstractSlider::SliderToMaximum);
            }
            QCoreApplication::processEvents();
            QCOMPARE(adodc.rowCount(), films);
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(grid.rowAt(grid.viewport()->height() - 2) == films - 1 ||
                    grid.rowAt(grid.viewport()->height() - 2) == -1);
        }
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void listGivesTheSelectedNameAndItsId() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('张敏','1','操作员')")));
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('李强','2','操作员')")));
        CAdodc adodc;
        CDataList list;
        list.SetDataSource(&adodc, QStringLiteral("OptName"), QStringLiteral("ID"));
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        adodc.SetRecordSource(QStringLiteral("SELECT * FROM Operator"));
        adodc.Refresh();
        QCOMPARE(list.model()->rowCount(), 3);
        QCOMPARE(list.model()->data(list.model()->index(1, list.modelColumn())).toString(),
                 QStringLiteral("张敏"));
        QCOMPARE(list.GetText(), QString()); // nothing is selected after a refresh
        QCOMPARE(list.GetBoundText(), QString());

        const QModelIndex second = list.model()->index(2, list.modelColumn());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(second).center());
        QCOMPARE(list.GetText(), QStringLiteral("李强"));
        QCOMPARE(list.GetBoundText(),
                 Db::Value(QStringLiteral("SELECT ID AS v FROM Operator WHERE OptName='李强'")));
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.GetText(), QStringLiteral("张敏"));

        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Operator WHERE OptName='张敏'")));
        adodc.Refresh();
        QCOMPARE(list.GetText(), QString());
        QCOMPARE(list.model()->rowCount(), 2);
    }
};
VORIX_TEST(DataGridTest)
#include "tst_DataGrid.moc"
