#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "base/UserSettings.h"
#include "data/CAdodc.h"
#include "data/CLedgerInfo.h"
#include "manage/CReportsDlg.h"
#include "toolkit/CChart.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CPrintPreview.h"
#include "toolkit/SaveDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
// Some money every few days of October to December, by two clerks.
void Fill() {
    QStringList values;
    for (QDate day(2026, 10, 1); day <= QDate(2026, 12, 31); day = day.addDays(3)) {
        const QString date = day.toString(u"yyyy-MM-dd"_s);
        values << u"('%1 10:00:00','%1','Admin','零租租金',%2,'F%3')"_s.arg(date)
                      .arg(day.day() * 100)
                      .arg(day.day())
               << u"('%1 11:00:00','%1','小王','退押金',%2,'F%3')"_s.arg(date)
                      .arg(day.month() * 10)
                      .arg(day.day());
    }
    QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,FilmID) VALUES "_s + values.join(u',')));
    QVERIFY(Db::Exec(
        u"INSERT INTO Film (FilmID, FilmName, Type, StgDate) WITH RECURSIVE n(i) AS (SELECT 1 "
        "UNION ALL SELECT i+1 FROM n WHERE i<31) SELECT 'F'||i, '影片'||i, 'DVD', '2025-01-01' FROM n"_s));
}

// The rows of the window's grid, every cell as shown.
QList<QStringList> Shown(CReportsDlg& window) {
    CAdodc& rows = *window.DataControl();
    rows.FetchAll();
    QList<QStringList> table;
    for (int r = 0; r < rows.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows.columnCount(); ++c)
            cells << rows.index(r, c).data().toString();
        table << cells;
    }
    return table;
}

qint64 Fen(const QString& yuan) {
    return std::llround(yuan.toDouble() * 100);
}

struct Window {
    explicit Window(const QString& user = u"Admin"_s, const QString& type = u"管理员"_s)
        : signedIn(user, type) {
        window.show();
        window.OnInitDialog();
    }
    SignedIn signedIn;
    CReportsDlg window;
};

// Runs act on the print preview once it is up, then closes it.
bool OnPreview(QPushButton* print, const std::function<void(CPrintPreview&)>& act) {
    bool shown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        if (auto* preview = qobject_cast<CPrintPreview*>(QApplication::activeModalWidget())) {
            poll.stop();
            shown = true;
            act(*preview);
            preview->reject();
        }
    });
    poll.start(20);
    QTest::mouseClick(print, Qt::LeftButton);
    return shown;
}

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

// The 营业报表 window: one period for its reports, a chart of the grid's rows, who sees what, what it
// remembers, and its export and printout.
class ReportsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { UserSettings::Open()->remove(u"reports"_s); }

    // It opens on this month's takings; the chart's bars are the net cash of the grid's rows.
    void chartShowsTheGridsRows() {
        TempShop shop;
        FixedClock clock(QDateTime(QDate(2026, 11, 18), QTime(9, 0)));
        Fill();
        Window open;
        CReportsDlg& window = open.window;
        QCOMPARE(window.windowTitle(), u"营业报表"_s);
        QCOMPARE(window.FromEdit()->date(), QDate(2026, 11, 1));
        QCOMPARE(window.ToEdit()->date(), QDate(2026, 11, 30));
        QCOMPARE(window.Page(), ReportPages::Takings);
        const QList<QStringList> rows = Shown(window);
        QCOMPARE(rows.size(), 11); // ten days and the total
        QCOMPARE(rows.last().first(), u"合计"_s);
        const int net = int(CLedgerInfo::Kinds().size()) + 3;
        const Chart::Data& chart = window.ChartView()->Data();
        QCOMPARE(chart.bars.size(), 10);
        for (int r = 0; r < 10; ++r) {
            QCOMPARE(chart.labels.at(r), rows.at(r).first());
            QCOMPARE(chart.bars.at(r), Fen(rows.at(r).at(net)));
        }
        QVERIFY(window.Grid()->isColumnHidden(net + 1));
        QVERIFY(window.Status()->text().contains(u"2026-11-01至2026-11-30"_s));

        // By month over the quarter: three bars.
        window.FromEdit()->setDate(QDate(2026, 10, 1));
        window.ToEdit()->setDate(QDate(2026, 12, 31));
        Pick(window.StepCombo(), u"月"_s);
        QCOMPARE(window.ChartView()->Data().labels, (QStringList{u"2026-10"_s, u"2026-11"_s, u"2026-12"_s}));

        // The next report from the keyboard: the titles, the top ten.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.Grid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(window.Page(), ReportPages::Titles);
        QCOMPARE(window.ChartView()->Data().bars.size(), 10);
        QCOMPARE(window.ChartView()->Data().labels.first(), Shown(window).first().first());
    }

    // An operator sees his own figures only, and not the shelf and customer lists.
    void operatorSeesHisOwn() {
        TempShop shop;
        FixedClock clock(QDateTime(QDate(2026, 11, 18), QTime(9, 0)));
        Fill();
        Window open(u"小王"_s, u"操作员"_s);
        CReportsDlg& window = open.window;
        QCOMPARE(window.OperatorCombo()->count(), 1);
        QVERIFY(!window.OperatorCombo()->isEnabled());
        QVERIFY(!window.Tabs()->isTabEnabled(ReportPages::Idle));
        QVERIFY(!window.Tabs()->isTabEnabled(ReportPages::Dormant));
        const int net = int(CLedgerInfo::Kinds().size()) + 3;
        QCOMPARE(Fen(Shown(window).last().at(net)), qint64(-10 * 110)); // ten returns of 1.10 handed back
    }

    // The place, the report and the period come back; a quick pick is picked again from the day.
    void remembersThePeriod() {
        TempShop shop;
        {
            FixedClock clock(QDateTime(QDate(2026, 11, 18), QTime(9, 0)));
            Window open;
            QTest::mouseClick(open.window.PickButton(ReportPages::LastMonth), Qt::LeftButton);
            QCOMPARE(open.window.FromEdit()->date(), QDate(2026, 10, 1));
            open.window.Tabs()->setCurrentIndex(ReportPages::Staff);
            open.window.hide();
        }
        {
            FixedClock clock(QDateTime(QDate(2027, 1, 5), QTime(9, 0)));
            Window open;
            QCOMPARE(open.window.FromEdit()->date(), QDate(2026, 12, 1));
            QCOMPARE(open.window.ToEdit()->date(), QDate(2026, 12, 31));
            QCOMPARE(open.window.Page(), ReportPages::Staff);
            open.window.FromEdit()->setDate(QDate(2026, 3, 3));
            open.window.ToEdit()->setDate(QDate(2026, 4, 4));
            open.window.hide();
        }
        FixedClock clock(QDateTime(QDate(2027, 2, 5), QTime(9, 0)));
        Window open;
        QCOMPARE(open.window.FromEdit()->date(), QDate(2026, 3, 3));
        QCOMPARE(open.window.ToEdit()->date(), QDate(2026, 4, 4));
        // A period the wrong way round is said, and no report is run.
        open.window.FromEdit()->setDate(QDate(2026, 5, 1));
        open.window.OnRefresh();
        QVERIFY(open.window.Status()->text().contains(u"开始日期晚于结束日期"_s));
        QVERIFY(open.window.ChartView()->Data().IsEmpty());
    }

    // 导出 writes the grid's rows without the hidden order column; 打印 puts the chart and every row
    // on paper.
    void exportAndPrint() {
        TempShop shop;
        BoxRecorder boxes;
        FixedClock clock(QDateTime(QDate(2026, 11, 18), QTime(9, 0)));
        Fill();
        Window open;
        CReportsDlg& window = open.window;
        const QList<QStringList> rows = Shown(window);
        QTemporaryDir folder;
        const QString csv = folder.filePath(u"收入.csv"_s);
        SaveDialog::SetChooser([&](QWidget*, const QString&) { return csv; });
        QTest::mouseClick(window.findChild<QPushButton*>(u"exportButton"_s), Qt::LeftButton);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u"\r\n"_s, Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), rows.size() + 1);
        QVERIFY(lines.first().contains(u"净现金(元)"_s));
        QVERIFY(!lines.first().contains(u"序"_s));

        const QString pdf = folder.filePath(u"收入.pdf"_s);
        SaveDialog::SetChooser([&](QWidget*, const QString&) { return pdf; });
        QVERIFY(OnPreview(window.findChild<QPushButton*>(u"printButton"_s),
                          [](CPrintPreview& preview) { preview.OnPdf(); }));
        SaveDialog::SetChooser(nullptr);
        const QString text = Run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) reads the printout");
        QVERIFY(text.contains(window.ChartView()->Data().title));
        for (const QStringList& row : rows)
            QVERIFY2(text.contains(row.first()), qPrintable(row.first()));
        // The chart's bars on the first page.
        Run(u"pdftoppm"_s,
            {u"-png"_s, u"-r"_s, u"60"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, folder.filePath(u"page"_s)});
        const QStringList pages = QDir(folder.path()).entryList({u"page*.png"_s});
        QCOMPARE(pages.size(), 1);
        const QImage page(folder.filePath(pages.first()));
        int bar = 0;
        for (int y = 0; y < page.height() / 2; ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor colour = page.pixelColor(x, y);
                bar += std::abs(colour.red() - Chart::BarColour().red()) < 8 &&
                               std::abs(colour.blue() - Chart::BarColour().blue()) < 8
                           ? 1
                           : 0;
            }
        }
        QVERIFY2(bar > 50, qPrintable(QString::number(bar)));
    }

    // It fits a 1024x768 screen.
    void fitsTheScreen() {
        TempShop shop;
        FixedClock clock(QDateTime(QDate(2026, 11, 18), QTime(9, 0)));
        Window open;
        const QSize least = open.window.minimumSizeHint();
        QVERIFY2(least.width() <= 1024 && least.height() <= 740,
                 qPrintable(u"%1x%2"_s.arg(least.width()).arg(least.height())));
    }
};
VORIX_TEST(ReportsWindowTest)

#include "tst_ReportsDlg.moc"
