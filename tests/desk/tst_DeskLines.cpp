#include "DeskFixture.h"
#include "TestRegistry.h"

#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace {
// The information line of a form, once the lookup after the pause in typing has run.
QString LineOf(CDialog& dialog, const char* name) {
    auto* line = dialog.findChild<QLabel*>(QLatin1String(name));
    if (!line)
        return QStringLiteral("<no line %1>").arg(QLatin1String(name));
    QTest::qWait(450); // the pause, and a little
    return line->text();
}

// Keys as a scanner sends them: the code, then Enter, to whatever has the focus.
void Scan(const QString& code) {
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClicks(focus, code);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

template <typename Dialog> void OpenShown(Dialog& dialog) {
    dialog.show();
    dialog.OnInitDialog();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}
} // namespace

// What a typed code stands for, beside the desk's forms; Enter that walks a scanner's codes; the
// line each action leaves for the status bar.
class DeskLinesTest : public QObject {
    Q_OBJECT
private slots:
    void linesForTypedCodes_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        QTest::newRow("client") << u"lend"_s << u"clientInfo"_s << u"C1"_s
                                << u"电话 123 · 余额 100.00 元 · 借出 1 部"_s;
        QTest::newRow("client, other case")
            << u"lend"_s << u"clientInfo"_s << u"c1"_s << u"电话 123 · 余额 100.00 元 · 借出 1 部"_s;
        QTest::newRow("client half-typed") << u"lend"_s << u"clientInfo"_s << u"C"_s << u"没有这个客户"_s;
        QTest::newRow("client unknown") << u"lend"_s << u"clientInfo"_s << u"C9"_s << u"没有这个客户"_s;
        QTest::newRow("client quote")
            << u"lend"_s << u"clientInfo"_s << u"C1' OR '1'='1"_s << u"没有这个客户"_s;
        QTest::newRow("film in") << u"lend"_s << u"filmInfo"_s << u"V1"_s
                                 << u"V1《英雄》 · VCD · 动作片 · 在店"_s;
        QTest::newRow("film out monthly")
            << u"lend"_s << u"filmInfo"_s << u"D1"_s
            << u"D1《无间道》 · DVD · 动作片 · 已借出:C1(月租),2026-12-01 起,6 天"_s;
        QTest::newRow("film out per day") << u"lend"_s << u"filmInfo"_s << u"P1"_s
                                          << u"P1《功夫》 · DVD · 动作片 · 已借出:零租,2026-11-30 起,7 天"_s;
        QTest::newRow("film unknown") << u"lend"_s << u"filmInfo"_s << u"X1"_s << u"没有这部影片"_s;
        QTest::newRow("return per day 7 days")
            << u"return"_s << u"filmInfo"_s << u"P1"_s
            << u"P1《功夫》 · DVD · 动作片\n零租 · 2026-11-30 借出 · 已借 7 天 · 退押金 45.00 元"_s;
        QTest::newRow("return monthly")
            << u"return"_s << u"filmInfo"_s << u"D1"_s
            << u"D1《无间道》 · DVD · 动作片\n月租 · 客户 C1 · 2026-12-01 借出 · 已借 6 天"_s;
        QTest::newRow("return film in")
            << u"return"_s << u"filmInfo"_s << u"V1"_s << u"V1《英雄》 · VCD · 动作片 · 在店,未借出"_s;
        QTest::newRow("return unknown") << u"return"_s << u"filmInfo"_s << u"X1"_s << u"没有这部影片"_s;
        QTest::newRow("exchange old")
            << u"exchange"_s << u"oldFilmInfo"_s << u"D1"_s
            << u"D1《无间道》 · DVD · 动作片\n月租 · 客户 C1 · 2026-12-01 借出 · 已借 6 天"_s;
        QTest::newRow("exchange new in")
            << u"exchange"_s << u"newFilmInfo"_s << u"V1"_s << u"V1《英雄》 · VCD · 动作片 · 在店"_s;
        QTest::newRow("exchange new out") << u"exchange"_s << u"newFilmInfo"_s << u"P1"_s
                                          << u"P1《功夫》 · DVD · 动作片 · 已借出:零租,2026-11-30 起,7 天"_s;
    }
    void linesForTypedCodes() {
        QFETCH(QString, dialog);
        QFETCH(QString, line);
        QFETCH(QString, code);
        QFETCH(QString, expected);
        DeskShop shop;
        DeskShop::AddFilm(QStringLiteral("P1"), QStringLiteral("DVD"), QStringLiteral("功夫"));
        DeskShop::AddOutRental(QStringLiteral("D1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        DeskShop::AddOutRental(QStringLiteral("P1"), QString(), QStringLiteral("零租"), 45);
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Record SET BorrowDate='2026-11-30' WHERE FilmID='P1'")));
        const QByteArray name = line.toLatin1();
        QString shown;
        if (dialog == QLatin1String("lend")) {
            CLendDlg lend;
            OpenShown(lend);
            TypeText(line == QLatin1String("clientInfo") ? lend.Form()->clientEdit : lend.Form()->filmEdit,
                     code);
            shown = LineOf(lend, name.constData());
        } else if (dialog == QLatin1String("return")) {
            CReturnDlg back;
            OpenShown(back);
            TypeText(back.Form()->filmEdit, code);
            shown = LineOf(back, name.constData());
        } else {
            CExchangeDlg swap;
            OpenShown(swap);
            TypeText(line == QLatin1String("oldFilmInfo") ? swap.Form()->oldFilmEdit
                                                          : swap.Form()->newFilmEdit,
                     code);
            shown = LineOf(swap, name.constData());
        }
        QCOMPARE(shown, expected);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // A line belongs to the code it was looked up for: a change clears it until the next lookup,
    // and a read that fails shows nothing, not a box.
    void lineFollowsTheCodeAndAFailedReadIsQuiet() {
        DeskShop shop;
        CLendDlg lend;
        OpenShown(lend);
        TypeText(lend.Form()->filmEdit, QStringLiteral("V1"));
        QCOMPARE(LineOf(lend, "filmInfo"), QStringLiteral("V1《英雄》 · VCD · 动作片 · 在店"));
        QTest::keyClick(lend.Form()->filmEdit, Qt::Key_Backspace);
        QCOMPARE(lend.findChild<QLabel*>(QStringLiteral("filmInfo"))->text(), QString());
        QCOMPARE(LineOf(lend, "filmInfo"), QStringLiteral("没有这部影片"));
        lend.Form()->filmEdit->clear();
        QCOMPARE(LineOf(lend, "filmInfo"), QString());
        QVERIFY(Db::Exec(QStringLiteral("ALTER TABLE Film RENAME TO Gone")));
        TypeText(lend.Form()->filmEdit, QStringLiteral("V1"));
        QCOMPARE(LineOf(lend, "filmInfo"), QString());
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // Two codes, each ended by Enter: the form is filled, then confirmed, never half-filled.
    void scannerLendsMonthly() {
        DeskShop shop;
        CLendDlg lend;
        OpenShown(lend);
        lend.Form()->clientEdit->setFocus();
        Scan(QStringLiteral("C1"));
        QCOMPARE(QApplication::focusWidget(), lend.Form()->filmEdit);
        QVERIFY(!lend.IsEnded());
        Scan(QStringLiteral("V1"));
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(lend.IsEnded() && lend.Result() == IDOK);
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), QStringLiteral("70.00"));
        QCOMPARE(lend.m_strDone, QStringLiteral("已借出 V1《英雄》给 C1,扣款 30.00 元,余额 70.00 元"));
    }

    // The film first: Enter goes back to the client number the plan still needs.
    void scannerFillsWhatIsMissingFirst() {
        DeskShop shop;
        CLendDlg lend;
        OpenShown(lend);
        lend.Form()->filmEdit->setFocus();
        Scan(QStringLiteral("V1"));
        QCOMPARE(QApplication::focusWidget(), lend.Form()->clientEdit);
        Scan(QStringLiteral("C1"));
        QVERIFY(lend.IsEnded() && lend.Result() == IDOK);
    }

    // Per day, the film's Enter asks for the deposit; the deposit's Enter lends.
    void scannerLendsPerDay() {
        DeskShop shop;
        CLendDlg lend;
        OpenShown(lend);
        lend.Form()->typeCombo->setCurrentIndex(1);
        lend.Form()->filmEdit->setFocus();
        Scan(QStringLiteral("D1"));
        QCOMPARE(QApplication::focusWidget(), lend.Form()->depositEdit);
        QVERIFY(!lend.IsEnded());
        QCOMPARE(lend.Form()->depositEdit->selectedText(), QStringLiteral("0")); // typed over
        Scan(QStringLiteral("50"));
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(lend.IsEnded() && lend.Result() == IDOK);
        QCOMPARE(lend.m_strDone,
                 QStringLiteral("已借出 D1《无间道》(零租),收押金 50.00 元,租金 5.00 元,存押金 45.00 元"));
    }

    // A lending the form refuses is refused at Enter as at 确定, with the form's own message.
    void scannerMeetsTheFormsOwnRefusal() {
        DeskShop shop;
        DeskShop::AddClient(QStringLiteral("C2"), 20);
        CLendDlg lend;
        OpenShown(lend);
        lend.Form()->clientEdit->setFocus();
        Scan(QStringLiteral("C2"));
        Scan(QStringLiteral("V1"));
        ExpectRefusal(shop.boxes, QStringLiteral("月租客户的余额不足,不能借出影片!"));
        QVERIFY(!lend.IsEnded());
    }

    void scannerReturnsAndExchanges() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QString(), QStringLiteral("零租"), 45);
        {
            CReturnDlg back;
            OpenShown(back);
            back.Form()->filmEdit->setFocus();
            Scan(QStringLiteral("V1"));
            QCOMPARE(shop.boxes.Boxes().size(), 1);
            QCOMPARE(shop.boxes.Boxes().first().caption, QStringLiteral("请确定"));
            QVERIFY(back.IsEnded() && back.Result() == IDOK);
            QCOMPARE(back.m_strDone, QStringLiteral("已还回 V1《英雄》,退押金 45.00 元"));
        }
        shop.boxes.Clear();
        DeskShop::AddOutRental(QStringLiteral("D1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        CExchangeDlg swap;
        OpenShown(swap);
        swap.Form()->oldFilmEdit->setFocus();
        Scan(QStringLiteral("D1"));
        QCOMPARE(QApplication::focusWidget(), swap.Form()->newFilmEdit);
        QCOMPARE(shop.boxes.Boxes().size(), 0);
        Scan(QStringLiteral("V1"));
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        QVERIFY(swap.IsEnded() && swap.Result() == IDOK);
        QCOMPARE(swap.m_strDone, QStringLiteral("已更换 D1《无间道》为 V1《英雄》"));
    }

    void monthlyReturnSaysWhose() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("D1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        CReturnDlg back;
        OpenShown(back);
        TypeText(back.Form()->filmEdit, QStringLiteral("D1"));
        QTest::mouseClick(back.Form()->okButton, Qt::LeftButton);
        QVERIFY(back.IsEnded() && back.Result() == IDOK);
        QCOMPARE(back.m_strDone, QStringLiteral("已还回 D1《无间道》(C1 月租)"));
    }

    // Enter on a focused button presses that button, not the next field.
    void enterOnAButtonStillPressesIt() {
        DeskShop shop;
        CLendDlg lend;
        OpenShown(lend);
        TypeText(lend.Form()->clientEdit, QStringLiteral("C1"));
        lend.Form()->cancelButton->setFocus();
        QTest::keyClick(lend.Form()->cancelButton, Qt::Key_Return);
        QVERIFY(lend.IsEnded() && lend.Result() == IDCANCEL);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }
};
VORIX_TEST_ON_FILE_ONLY(DeskLinesTest)
#include "tst_DeskLines.moc"
