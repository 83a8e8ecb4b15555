#include "DeskFixture.h"
#include "DeskKeys.h"
#include "TestRegistry.h"

#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
// A shop where D1 is out on the month to C1, and C2 has too little for a month's VCD.
void Stock() {
    DeskShop::AddClient(u"C2"_s, 20);
    DeskShop::AddOutRental(u"D1"_s, u"C1"_s, u"月租"_s, 0);
}

std::unique_ptr<CDialog> Form(const QString& name) {
    if (name == u"lend"_s)
        return std::make_unique<CLendDlg>();
    if (name == u"return"_s)
        return std::make_unique<CReturnDlg>();
    return std::make_unique<CExchangeDlg>();
}

QString FocusName() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

QString Selected() {
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return edit ? edit->selectedText() : u"<no field>"_s;
}
} // namespace

// After a refusal the clerk is back in the field it is about, its text selected, so that what is
// typed next replaces it and Enter goes on; a code the desk cannot use keeps Enter in its field.
class RefusalFocusTest : public QObject {
    Q_OBJECT
private slots:
    void refusalSelectsItsField_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("typed"); // field=text; a deposit lends per day
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("fix");
        const QString notInStock = u"影片编号错误,影片库中未包含此编号!"_s;
        QTest::newRow("lend, no client") << u"lend"_s << QStringList{u"filmEdit=V1"_s} << u"未填写客户编号!"_s
                                         << u"clientEdit"_s << u"C1"_s;
        QTest::newRow("lend, unknown client")
            << u"lend"_s << QStringList{u"clientEdit=C9"_s, u"filmEdit=V1"_s} << u"客户编号错误!"_s
            << u"clientEdit"_s << u"C1"_s;
        QTest::newRow("lend, balance short")
            << u"lend"_s << QStringList{u"clientEdit=C2"_s, u"filmEdit=V1"_s}
            << u"月租客户的余额不足,不能借出影片!"_s << u"clientEdit"_s << u"C1"_s;
        QTest::newRow("lend, no film") << u"lend"_s << QStringList{u"clientEdit=C1"_s} << u"未填写影片编号!"_s
                                       << u"filmEdit"_s << u"V1"_s;
        QTest::newRow("lend, unknown film") << u"lend"_s << QStringList{u"clientEdit=C1"_s, u"filmEdit=X1"_s}
                                            << u"影片编号错误!"_s << u"filmEdit"_s << u"V1"_s;
        QTest::newRow("lend, film out") << u"lend"_s << QStringList{u"clientEdit=C1"_s, u"filmEdit=D1"_s}
                                        << u"此影片已经借出,请选择其它影片!"_s << u"filmEdit"_s << u"V1"_s;
        QTest::newRow("lend per day, no deposit")
            << u"lend"_s << QStringList{u"filmEdit=V1"_s, u"depositEdit=0"_s} << u"未填写押金!"_s
            << u"depositEdit"_s << u"50"_s;
        QTest::newRow("return, no film")
            << u"return"_s << QStringList{} << u"未填写影片编号!"_s << u"filmEdit"_s << u"D1"_s;
        QTest::newRow("return, unknown film")
            << u"return"_s << QStringList{u"filmEdit=X1"_s} << notInStock << u"filmEdit"_s << u"D1"_s;
        QTest::newRow("return, film in") << u"return"_s << QStringList{u"filmEdit=V1"_s}
                                         << u"影片编号错误,此影片未借出!"_s << u"filmEdit"_s << u"D1"_s;
        QTest::newRow("exchange, no old film") << u"exchange"_s << QStringList{u"newFilmEdit=V1"_s}
                                               << u"未填写影片编号!"_s << u"oldFilmEdit"_s << u"D1"_s;
        QTest::newRow("exchange, no new film") << u"exchange"_s << QStringList{u"oldFilmEdit=D1"_s}
                                               << u"未填写影片编号!"_s << u"newFilmEdit"_s << u"V1"_s;
        QTest::newRow("exchange, unknown old film")
            << u"exchange"_s << QStringList{u"oldFilmEdit=X1"_s, u"newFilmEdit=V1"_s} << notInStock
            << u"oldFilmEdit"_s << u"D1"_s;
        QTest::newRow("exchange, unknown new film")
            << u"exchange"_s << QStringList{u"oldFilmEdit=D1"_s, u"newFilmEdit=X1"_s} << notInStock
            << u"newFilmEdit"_s << u"V1"_s;
        QTest::newRow("exchange, old film in")
            << u"exchange"_s << QStringList{u"oldFilmEdit=V1"_s, u"newFilmEdit=V1"_s}
            << u"旧影片编号错误,此影片未借出!"_s << u"oldFilmEdit"_s << u"D1"_s;
        QTest::newRow("exchange, new film out")
            << u"exchange"_s << QStringList{u"oldFilmEdit=D1"_s, u"newFilmEdit=D1"_s}
            << u"新影片编号错误,此影片已借出!"_s << u"newFilmEdit"_s << u"V1"_s;
    }
    void refusalSelectsItsField() {
        QFETCH(QString, form);
        QFETCH(QStringList, typed);
        QFETCH(QString, refusal);
        QFETCH(QString, field);
        QFETCH(QString, fix);
        DeskShop shop;
        Stock();
        const std::unique_ptr<CDialog> dialog = Form(form);
        ShowForKeys(*dialog);
        QString wrong;
        for (const QString& entry : typed) {
            const QString name = entry.section(u'=', 0, 0);
            if (name == u"depositEdit"_s)
                static_cast<CLendDlg&>(*dialog).Form()->typeCombo->setCurrentIndex(1);
            auto* edit = dialog->findChild<QLineEdit*>(name);
            QVERIFY(edit);
            edit->setText(entry.section(u'=', 1));
            if (name == field)
                wrong = edit->text();
        }
        // 确定 clicked: the focus is on the button when the refusal comes.
        QTest::mouseClick(dialog->findChild<QPushButton*>(u"okButton"_s), Qt::LeftButton);
        ExpectRefusal(shop.boxes, refusal);
        QVERIFY(!dialog->IsEnded());
        QCOMPARE(FocusName(), field);
        QCOMPARE(Selected(), wrong);
        // What is typed replaces the refused text, and Enter goes on to the action.
        shop.boxes.Clear();
        QTest::keyClicks(QApplication::focusWidget(), fix);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog->IsEnded() && dialog->Result() == IDOK);
    }

    // A scanner's Enter after a code the desk cannot use stays in that field, the code selected,
    // with no box: the line beside it says why, and the next scan replaces the code.
    void enterStaysOnACodeTheDeskCannotUse() {
        DeskShop shop;
        Stock();
        {
            CLendDlg lend;
            ShowForKeys(lend);
            lend.Form()->clientEdit->setFocus();
            ScanCode(u"C9"_s);
            QCOMPARE(QApplication::focusWidget(), lend.Form()->clientEdit);
            QCOMPARE(lend.Form()->clientEdit->selectedText(), u"C9"_s);
            QCOMPARE(lend.findChild<QLabel*>(u"clientInfo"_s)->text(), u"没有这个客户"_s);
            ScanCode(u"C1"_s);
            QCOMPARE(QApplication::focusWidget(), lend.Form()->filmEdit);
            for (const QString& film : {u"X1"_s, u"D1"_s}) { // unknown, out
                ScanCode(film);
                QCOMPARE(QApplication::focusWidget(), lend.Form()->filmEdit);
                QCOMPARE(lend.Form()->filmEdit->selectedText(), film);
            }
            QCOMPARE(shop.boxes.Texts(), QStringList());
            QVERIFY(!lend.IsEnded());
            ScanCode(u"V1"_s);
            QVERIFY(lend.IsEnded() && lend.Result() == IDOK);
            QCOMPARE(lend.Form()->clientEdit->text(), u"C1"_s);
        }
        DeskShop::AddFilm(u"V2"_s, u"VCD"_s, u"英雄"_s);
        CExchangeDlg swap;
        ShowForKeys(swap);
        swap.Form()->oldFilmEdit->setFocus();
        ScanCode(u"V2"_s); // in the shop: nothing to exchange
        QCOMPARE(QApplication::focusWidget(), swap.Form()->oldFilmEdit);
        ScanCode(u"V1"_s); // lent just now
        QCOMPARE(QApplication::focusWidget(), swap.Form()->newFilmEdit);
        ScanCode(u"D1"_s); // out
        QCOMPARE(QApplication::focusWidget(), swap.Form()->newFilmEdit);
        QCOMPARE(swap.Form()->newFilmEdit->selectedText(), u"D1"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList());
        ScanCode(u"V2"_s);
        QCOMPARE(shop.boxes.Boxes().size(), 1); // the question
        QVERIFY(swap.IsEnded() && swap.Result() == IDOK);
        QCOMPARE(Db::Count(u"Record WHERE FilmID='V2' AND ReturnDate=''"_s), 1);
    }
};
VORIX_TEST(RefusalFocusTest)
#include "tst_RefusalFocus.moc"
