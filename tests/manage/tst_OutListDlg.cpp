#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdodc.h"
#include "desk/CReturnDlg.h"
#include "manage/COutListDlg.h"
#include "toolkit/CPrintPreview.h"
#include "toolkit/GridExport.h"
#include "toolkit/GridPrint.h"
#include "toolkit/SaveDialog.h"
#include "ui_COutListDlg.h"
#include "ui_CReturnDlg.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// Four rentals, three of them out, lent in this order; the phone and remark of C1 and C2.
void FillShop() {
    for (const QString& sql : {
             u"INSERT INTO Film (FilmID, FilmName, Type) VALUES ('V1', '英雄', 'VCD'), ('D1', '无间道', "
             u"'DVD'), "
             "('D2', '功夫', 'DVD'), ('V2', '十面埋伏', 'VCD')"_s,
             u"INSERT INTO Client (ClientID, PhoneNum, Remark, Balance) VALUES ('C1', '13800001111', "
             u"'老客户', 70), "
             "('C2', '021-5555', '', 10)"_s,
             u"INSERT INTO Record (ClientID, FilmID, Type, Foregift, BorrowDate, ReturnDate, OptUser) VALUES "
             "('', 'D1', '零租', 45, '2026-11-20', '', 'a'), "
             "('C2', 'V2', '月租', 0, '2026-11-01', '2026-11-05', 'a'), "
             "('C1', 'V1', '月租', 0, '2026-12-01', '', 'a'), "
             "('', 'D2', '零租', -2.99, '2026-12-07', '', 'a')"_s,
             // D1's customer left a contact: its phone stands for the client's, its name last.
             u"INSERT INTO RentContact (RentID, Name, Phone) VALUES (1, '王先生', '13900002222')"_s,
         })
        QVERIFY(Db::Exec(sql));
}

// The rows shown, each as its visible cells joined by "|", money as shown.
QStringList Rows(COutListDlg& list) {
    QStringList rows;
    CAdodc* adodc = list.DataControl();
    for (int row = 0; row < adodc->rowCount(); ++row) {
        QStringList cells;
        for (int column = 1; column < adodc->columnCount(); ++column)
            cells << adodc->data(adodc->index(row, column)).toString();
        rows << cells.join(u'|');
    }
    return rows;
}
} // namespace

// 未还影片: what is out, for how long, with whom; its filters; a return from a row.
class OutListDlgTest : public QObject {
    Q_OBJECT
private slots:
    void showsWhatIsOut_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("longerThan");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("rows");
        const QString d1 = u"|13900002222||D1|无间道|零租|2026-11-20|%1|45.00|王先生"_s;
        const QString v1 = u"C1|13800001111|老客户|V1|英雄|月租|2026-12-01|%1|0.00|"_s;
        const QString d2 = u"|||D2|功夫|零租|2026-12-07|%1|-2.99|"_s;
        const QDate today(2026, 12, 7);
        QTest::newRow("all") << 0 << 0 << today << QStringList{d1.arg(17), v1.arg(6), d2.arg(0)};
        QTest::newRow("another day") << 0 << 0 << QDate(2027, 1, 1)
                                     << QStringList{d1.arg(42), v1.arg(31), d2.arg(25)};
        QTest::newRow("monthly") << 1 << 0 << today << QStringList{v1.arg(6)};
        QTest::newRow("per day") << 2 << 0 << today << QStringList{d1.arg(17), d2.arg(0)};
        QTest::newRow("longer than 6 days") << 0 << 6 << today << QStringList{d1.arg(17)};
        QTest::newRow("longer than 5 days") << 0 << 5 << today << QStringList{d1.arg(17), v1.arg(6)};
        QTest::newRow("per day, longer than 20") << 2 << 20 << today << QStringList();
    }
    void showsWhatIsOut() {
        QFETCH(int, type);
        QFETCH(int, longerThan);
        QFETCH(QDate, today);
        QFETCH(QStringList, rows);
        TempShop shop;
        BoxRecorder boxes;
        FixedClock clock(QDateTime(today, QTime(10, 0)));
        FillShop();
        COutListDlg list;
        list.show();
        list.OnInitDialog();
        QCOMPARE(list.windowTitle(), u"未还影片"_s);
        Pick(list.Form()->typeCombo, list.Form()->typeCombo->itemText(type));
        list.Form()->daysSpin->setValue(longerThan);
        QCOMPARE(Rows(list), rows);
        QCOMPARE(boxes.Texts(), QStringList());
    }

    // A double click (or "还回") opens 影片还回 with the row's film; once returned, the film leaves the list.
    void returnFromARow() {
        TempShop shop;
        BoxRecorder boxes;
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
        SignedIn user(u"小王"_s, u"操作员"_s);
        FillShop();
        COutListDlg list;
        list.m_returnFilm = [](QWidget* parent, const QString& filmId) { // as the shell sets it
            CReturnDlg back(parent);
            back.m_strFilmID = filmId;
            return back.DoModal() == IDOK;
        };
        list.show();
        list.OnInitDialog();
        QCOMPARE(Rows(list).size(), 3);
        QString typed;
        {
            ModalScript script([&](CDialog& dialog) {
                auto* back = qobject_cast<CReturnDlg*>(&dialog);
                QVERIFY(back);
                typed = back->Form()->filmEdit->text();
                back->OnOK(); // the confirmation is answered 是
            });
            DoubleClickRow(list.Form()->grid, 1);
        }
        QCOMPARE(typed, u"V1"_s);
        QCOMPARE(boxes.Boxes().size(), 1);
        QCOMPARE(Db::Value(u"SELECT ReturnDate||OptUser AS v FROM Record WHERE FilmID='V1'"_s),
                 u"2026-12-07小王"_s);
        QCOMPARE(Rows(list).size(), 2);
    }

    // 导出 writes the rows of the query shown, all of them, with the visible columns only.
    void exportWritesTheListShown() {
        TempShop shop;
        BoxRecorder boxes;
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
        FillShop();
        QTemporaryDir folder;
        const QString path = folder.filePath(u"未还影片.csv"_s);
        QString suggested;
        SaveDialog::SetChooser([&](QWidget*, const QString& name) {
            suggested = name;
            return path;
        });
        COutListDlg list;
        list.show();
        list.OnInitDialog();
        Pick(list.Form()->typeCombo, u"零租"_s);
        auto* button = list.findChild<QPushButton*>(u"exportButton"_s);
        QVERIFY(button && button->text() == u"导出"_s);
        QTest::mouseClick(button, Qt::LeftButton);
        SaveDialog::SetChooser(nullptr);
        QCOMPARE(suggested, u"未还影片.csv"_s);
        QCOMPARE(boxes.Texts(), QStringList{u"已导出 2 行到\n"_s + path});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("\xEF\xBB\xBF") +
                     u"客户编号,电话,备注,影片编号,影片名字,类型,租借日期,借出天数,押金,联系人\r\n"
                     ",13900002222,,D1,无间道,零租,2026-11-20,17,45.00,王先生\r\n"
                     ",,,D2,功夫,零租,2026-12-07,0,-2.99,\r\n"_s.toUtf8());
    }

    void returnWithoutARowAsks() {
        TempShop shop;
        BoxRecorder boxes;
        COutListDlg list;
        list.show();
        list.OnInitDialog();
        QTest::mouseClick(list.Form()->returnButton, Qt::LeftButton);
        QCOMPARE(boxes.Texts(), QStringList{u"请先选择要还回的影片。"_s});
    }

    // 打印 gives each column the width its longest value needs: the phone, the codes, the date, the
    // days and the deposit whole on one line in every row, a long remark or title wrapped, all
    // within the page; and the preview's 导出PDF writes it.
    void printedColumnsHoldEveryValue() {
        TempShop shop;
        BoxRecorder boxes;
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
        FillShop();
        QVERIFY(
            Db::Exec(u"UPDATE Client SET Remark = '%1', PhoneNum = '13800138000' WHERE ClientID = 'C1'"_s.arg(
                u"只在周末来,押金已退一半,电话打不通时找他的妹妹"_s.repeated(3))));
        QVERIFY(Db::Exec(u"UPDATE Film SET FilmName = '%1' WHERE FilmID = 'V1'"_s.arg(
            u"Crouching Tiger, Hidden Dragon 卧虎藏龙 导演剪辑版"_s)));
        COutListDlg list;
        list.show();
        list.OnInitDialog();
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(u"a.pdf"_s));
        const QList<GridPrint::Column> columns = GridPrint::Columns(*list.DataControl(), *list.Form()->grid);
        QCOMPARE(columns.size(), 10);
        QString error;
        const GridPrint::Layout layout = GridPrint::LayOut(&printer, list.m_strQuery, columns, &error);
        QVERIFY(layout.read);
        int total = 0;
        for (const int width : layout.columns.widths)
            total += width;
        QVERIFY(total <= printer.pageLayout().paintRectPixels(printer.resolution()).width());
        const QFontMetrics metrics(GridPrint::Font(), &printer);
        const QStringList whole{u"客户编号"_s, u"电话"_s,     u"影片编号"_s,
                                u"租借日期"_s, u"借出天数"_s, u"押金"_s};
        const QStringList rows = Rows(list);
        QCOMPARE(rows.size(), 3);
        for (const QString& row : rows) {
            const QStringList cells = row.split(u'|');
            for (int i = 0; i < columns.size(); ++i) {
                const bool mustBeWhole = whole.contains(columns.at(i).heading);
                QVERIFY2(layout.columns.wraps.at(i) == !mustBeWhole,
                         qPrintable(columns.at(i).heading + u" "_s + cells.at(i) + u" "_s +
                                    QString::number(layout.columns.widths.at(i))));
                const int room = layout.columns.widths.at(i) - 2 * layout.columns.padding;
                const QStringList lines = PrintColumns::Wrap(cells.at(i), GridPrint::Font(), &printer, room);
                if (mustBeWhole)
                    QVERIFY2(metrics.horizontalAdvance(cells.at(i)) <= room &&
                                 lines == QStringList{cells.at(i)},
                             qPrintable(cells.at(i)));
                QCOMPARE(lines.join(QString()).remove(u' '), QString(cells.at(i)).remove(u' '));
            }
        }

        const QString pdf = folder.filePath(u"未还影片.pdf"_s);
        SaveDialog::SetChooser([&](QWidget*, const QString&) { return pdf; });
        bool shown = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (auto* preview = qobject_cast<CPrintPreview*>(QApplication::activeModalWidget())) {
                poll.stop();
                shown = !preview->OnPdf().isEmpty();
                preview->reject();
            }
        });
        poll.start(20);
        QTest::mouseClick(list.findChild<QPushButton*>(u"printButton"_s), Qt::LeftButton);
        SaveDialog::SetChooser(nullptr);
        QVERIFY(shown);
        QCOMPARE(PdfPages(pdf), 1);
        QCOMPARE(boxes.Texts(), QStringList());
    }
};
VORIX_TEST(OutListDlgTest)
#include "tst_OutListDlg.moc"
