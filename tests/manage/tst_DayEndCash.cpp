#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "manage/CDayEndDlg.h"
#include "toolkit/CPrintPreview.h"
#include "toolkit/SaveDialog.h"
#include "ui_CDayEndDlg.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString kRangePrompt = u"请输入一个介于 0 和 999999.99 之间的数，最多 2 位小数。"_s;
const QString kNumberPrompt = u"请输入一个数。"_s;

// A day that should leave 185.00 in the drawer: 200.00 in, 15.00 out.
struct Day {
    Day() {
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen) VALUES "
                         "('2026-12-07 09:00:00','2026-12-07','Admin','零租租金',20000), "
                         "('2026-12-07 10:00:00','2026-12-07','Admin','退押金',1500)"_s));
        window.show();
        window.OnInitDialog();
    }
    void Count(const QString& text) {
        window.Form()->countedEdit->setText(text);
        QTest::keyClick(window.Form()->countedEdit, Qt::Key_Return);
    }
    TempShop shop;
    BoxRecorder boxes;
    SignedIn admin{u"Admin"_s, u"管理员"_s};
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(18, 0))};
    CDayEndDlg window;
};

// Runs `act` on the print preview once it is up, then closes it; whether one came up.
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
} // namespace

// 日结's counted cash: only a count of cash is read, and it is printed with the difference.
class DayEndCashTest : public QObject {
    Q_OBJECT
private slots:
    // While typed, a text that is no count shows no difference; Enter then names the limits.
    void countedCashIsACountOrNothing_data() {
        QTest::addColumn<QString>("counted");
        QTest::addColumn<QString>("difference");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("over") << u"190"_s << u"长款 5.00 元"_s << QString();
        QTest::newRow("short, blanks around") << u" 180.5 "_s << u"短款 4.50 元"_s << QString();
        QTest::newRow("even") << u"185.00"_s << u"相符"_s << QString();
        QTest::newRow("nothing counted") << u"0"_s << u"短款 185.00 元"_s << QString();
        QTest::newRow("the most") << u"999999.99"_s << u"长款 999814.99 元"_s << QString();
        QTest::newRow("a fen over the most") << u"1000000"_s << QString() << kRangePrompt;
        QTest::newRow("1e300") << u"1e300"_s << QString() << kRangePrompt;
        QTest::newRow("-1e300") << u"-1e300"_s << QString() << kRangePrompt;
        QTest::newRow("negative") << u"-5"_s << QString() << kRangePrompt;
        QTest::newRow("largest integer") << u"9223372036854775807"_s << QString() << kRangePrompt;
        QTest::newRow("a part of a fen") << u"12.345"_s << QString() << kRangePrompt;
        QTest::newRow("inf") << u"inf"_s << QString() << kNumberPrompt;
        QTest::newRow("nan") << u"nan"_s << QString() << kNumberPrompt;
        QTest::newRow("words") << u"多少"_s << QString() << kNumberPrompt;
    }
    void countedCashIsACountOrNothing() {
        QFETCH(QString, counted);
        QFETCH(QString, difference);
        QFETCH(QString, prompt);
        Day day;
        QCOMPARE(day.window.Form()->expectedValue->text(), u"185.00 元"_s);
        day.Count(counted);
        QCOMPARE(day.window.Form()->differenceValue->text(), difference);
        QCOMPARE(day.boxes.Texts(), prompt.isEmpty() ? QStringList() : QStringList{prompt});
        if (!prompt.isEmpty())
            QCOMPARE(day.window.Form()->countedEdit->selectedText(), counted);
    }

    // The printed day ends with the cash lines the window shows, the count and the difference.
    void printedDayHasTheCountAndTheDifference_data() {
        QTest::addColumn<QString>("counted");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("over") << u"190"_s << QStringList{u"备用金：未登记"_s,      u"现金收入：200.00 元"_s,
                                                         u"现金支出：15.00 元"_s,  u"应有现金：185.00 元"_s,
                                                         u"实点现金：190.00 元"_s, u"差额：长款 5.00 元"_s};
        QTest::newRow("short") << u"100.1"_s
                               << QStringList{u"备用金：未登记"_s,      u"现金收入：200.00 元"_s,
                                              u"现金支出：15.00 元"_s,  u"应有现金：185.00 元"_s,
                                              u"实点现金：100.10 元"_s, u"差额：短款 84.90 元"_s};
        QTest::newRow("not counted: left to write in")
            << QString()
            << QStringList{u"备用金：未登记"_s,      u"现金收入：200.00 元"_s, u"现金支出：15.00 元"_s,
                           u"应有现金：185.00 元"_s, u"实点现金："_s,          u"差额："_s};
    }
    void printedDayHasTheCountAndTheDifference() {
        QFETCH(QString, counted);
        QFETCH(QStringList, lines);
        Day day;
        day.window.Form()->countedEdit->setText(counted);
        QStringList notes;
        QVERIFY(day.window.PrintNotes(&notes));
        QCOMPARE(notes, lines);

        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"日结.pdf"_s);
        SaveDialog::SetChooser([&](QWidget*, const QString&) { return pdf; });
        auto* print = day.window.findChild<QPushButton*>(u"printButton"_s);
        QVERIFY(OnPreview(print, [](CPrintPreview& preview) { preview.OnPdf(); }));
        SaveDialog::SetChooser(nullptr);
        QCOMPARE(PdfPages(pdf), 1);
        QCOMPARE(day.boxes.Texts(), QStringList());
    }

    // A count that is none is said before anything is printed.
    void printingAWrongCountSaysSo() {
        Day day;
        day.window.Form()->countedEdit->setText(u"-185"_s);
        auto* print = day.window.findChild<QPushButton*>(u"printButton"_s);
        QVERIFY(!OnPreview(print, [](CPrintPreview&) {}));
        QCOMPARE(day.boxes.Texts(), QStringList{kRangePrompt});
        QCOMPARE(day.window.Form()->countedEdit->selectedText(), u"-185"_s);
    }
};
VORIX_TEST(DayEndCashTest)
#include "tst_DayEndCash.moc"
