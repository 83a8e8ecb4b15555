#include "DeskFixture.h"
#include "DeskKeys.h"
#include "TestRegistry.h"

#include "data/ReturnCharge.h"
#include "desk/CReturnBasketDlg.h"
#include "desk/CReturnDlg.h"
#include "manage/CUndoDlg.h"
#include "ui_CReturnDlg.h"
#include "ui_CUndoDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace {
// A rental out since that day: on the month for a client, else per day with that deposit.
void Out(const QString& film, const QString& client, const QString& lent, double deposit = 0) {
    QVERIFY(Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
                     "VALUES('%1','%2','%3',%4,'%5','','lender')"_s
                         .arg(client, film, client.isEmpty() ? u"零租"_s : u"月租"_s)
                         .arg(deposit, 0, 'f', 2)
                         .arg(lent)));
}

void BasketChargeDaysOut() {
    ReturnCharge::Rule rule;
    rule.on = true;
    QVERIFY(ReturnCharge::Save(rule));
}

// The basket's rows as shown: the cells of each row joined by '|'.
QStringList Shown(const CReturnBasketDlg& dlg) {
    QStringList rows;
    for (int r = 0; r < dlg.table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < dlg.table->columnCount(); ++c)
            cells << dlg.table->item(r, c)->text();
        rows << cells.join(u'|');
    }
    return rows;
}

QString Ledger() {
    return Db::Value(u"SELECT group_concat(FilmID||' '||Kind||' '||Fen||' '||Note, ';') AS v FROM "
                     "(SELECT * FROM Ledger ORDER BY ID)"_s);
}

// The basket opened as the counter opens it, ready for the scanner.
struct Basket {
    CReturnBasketDlg dlg;
    Basket() { ShowForKeys(dlg); }
    void Scan(const QStringList& codes) {
        for (const QString& code : codes)
            ScanCode(code);
    }
    // Enter in the empty film field: the confirmation.
    void Confirm() { QTest::keyClick(dlg.filmEdit, Qt::Key_Return); }
    bool Done() const { return dlg.IsEnded() && dlg.Result() == IDOK; }
};
} // namespace

// Several films taken back in one go: each checked as the single return checks it, all written in
// one transaction with the single return's rows, or none.
class ReturnBasketTest : public QObject {
    Q_OBJECT
private slots:
    // A month's plan a period over, a per-day film with days to pay and one back the next day: each
    // row says what it hands back or costs, the total adds them, the ledger holds the same rows as
    // three single returns.
    void threeFilmsOfDifferentPlansAndTimes() {
        DeskShop shop(u"小李"_s, u"操作员"_s);
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        BasketChargeDaysOut();
        Out(u"V1"_s, u"C1"_s, u"2026-11-01"_s);
        Out(u"D1"_s, QString(), u"2026-12-04"_s, 45);
        Out(u"D2"_s, QString(), u"2026-12-06"_s, 20);
        Basket basket;
        basket.Scan({u"V1"_s, u"D1"_s, u"D2"_s});
        QCOMPARE(Shown(basket.dlg),
                 QStringList({u"V1|英雄|月租|C1|2026-11-01|36||30.00 元|超期费从客户余额扣"_s,
                              u"D1|无间道|零租|零租|2026-12-04|3|35.00 元|10.00 元|"_s,
                              u"D2|功夫|零租|零租|2026-12-06|1|20.00 元||"_s}));
        QCOMPARE(basket.dlg.totalLine->text(),
                 u"共 3 部可还回 · 退押金合计 55.00 元 · 超期费合计 40.00 元"_s);
        QVERIFY(shop.boxes.Boxes().isEmpty());
        QVERIFY(basket.dlg.filmEdit->hasFocus());

        basket.Confirm();
        QVERIFY(basket.Done());
        QCOMPARE(shop.boxes.Boxes().size(), 2);
        ExpectQuestion(
            shop.boxes.Boxes().at(0),
            u"还回以下 3 部影片:\nV1《英雄》  月租  客户 C1,超期扣款 30.00 元\n"
            "D1《无间道》  零租  退押金 35.00 元,超期租金 10.00 元\nD2《功夫》  零租  退押金 20.00 元"
            "\n\n合计:退押金 55.00 元,超期费 40.00 元\n\n以上信息是否正确,请确认?"_s);
        QCOMPARE(shop.boxes.Boxes().at(1).text,
                 u"已还回 3 部影片。\n退押金合计:55.00 元\n超期费合计:40.00 元"_s);
        QCOMPARE(Db::Count(u"Record WHERE ReturnDate='2026-12-07' AND OptUser='小李'"_s), 3);
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"70.00"_s);
        QCOMPARE(Ledger(), u"V1 超期扣款 3000 借出 36 天,1 期 × 30.00 元;D1 退押金 4500 多片还回 3 部;"
                           "D1 超期租金 1000 借出 3 天,2 天 × 5.00 元;D2 退押金 2000 多片还回 3 部"_s);
        // Each film is an action of the desk of its own, as its single return would be.
        QCOMPARE(Db::Count(u"DeskAction WHERE Kind='还回'"_s), 3);
        QCOMPARE(basket.dlg.m_strDone, u"多片还回 3 部(V1、D1、D2),退押金 55.00 元,超期费 40.00 元"_s);
        QCOMPARE(Receipt::Lines(basket.dlg.m_slip, u"店"_s, QDateTime(QDate(2026, 12, 7), QTime(15, 30))),
                 QStringList(
                     {u"店"_s, u"还回小票"_s, u"时间:2026-12-07 15:30:00"_s, u"操作员:小李"_s,
                      u"客户:C1、零租"_s, u"影片:共 3 部"_s, u"V1《英雄》\t客户 C1,超期扣款 30.00 元"_s,
                      u"D1《无间道》\t退押金 35.00 元,超期租金 10.00 元"_s, u"D2《功夫》\t退押金 20.00 元"_s,
                      u"退押金合计\t55.00 元"_s, u"超期费合计\t40.00 元"_s, QString(), u"谢谢惠顾"_s}));
    }

    // Without the charge, the deposits held go back as stored, whatever the days; films of two
    // clients share the basket.
    void withoutTheChargeTheDepositsGoBackAsHeld() {
        DeskShop shop;
        DeskShop::AddClient(u"C2"_s, 50);
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        Out(u"V1"_s, u"C1"_s, u"2026-10-01"_s);
        Out(u"D1"_s, u"C2"_s, u"2026-12-01"_s);
        Out(u"D2"_s, QString(), u"2026-11-01"_s, -2.99);
        Basket basket;
        basket.Scan({u"V1"_s, u"D1"_s, u"D2"_s});
        QVERIFY(basket.dlg.table->isColumnHidden(7));
        QCOMPARE(basket.dlg.totalLine->text(), u"共 3 部可还回 · 退押金合计 -2.99 元"_s);
        basket.Confirm();
        QVERIFY(basket.Done());
        QCOMPARE(DeskShop::Balance(u"C1"_s) + DeskShop::Balance(u"C2"_s), u"100.0050.00"_s);
        QCOMPARE(Ledger(), u"D2 退押金 -299 多片还回 3 部"_s);
        QCOMPARE(Db::Count(u"Record WHERE ReturnDate=''"_s), 0);
    }

    // A film not out, an unknown code and a film scanned twice say so on their rows or the line
    // above; the others are returned, and only they.
    void filmsThatCannotBeReturnedSayWhyOnTheirRows() {
        DeskShop shop;
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        Out(u"D1"_s, QString(), u"2026-12-05"_s, 45);
        Basket basket;
        basket.Scan({u"V1"_s, u"X9"_s, u"D1"_s});
        QCOMPARE(basket.dlg.hintLine->text(), u"已加入 D1《无间道》(零租)。"_s);
        basket.Scan({u"d1"_s});
        QCOMPARE(basket.dlg.hintLine->text(), u"D1《无间道》 已在清单中。"_s);
        QCOMPARE(Shown(basket.dlg), QStringList({u"V1|英雄|||||||影片编号错误,此影片未借出!"_s,
                                                 u"X9||||||||影片编号错误,影片库中未包含此编号!"_s,
                                                 u"D1|无间道|零租|零租|2026-12-05|2|45.00 元||"_s}));
        QCOMPARE(basket.dlg.totalLine->text(), u"共 1 部可还回 · 退押金合计 45.00 元 · 2 部不能还回"_s);
        // Delete in the empty field takes the row chosen off the list; the scanner goes on.
        basket.dlg.table->selectRow(1);
        QTest::keyClick(basket.dlg.filmEdit, Qt::Key_Delete);
        QCOMPARE(basket.dlg.table->rowCount(), 2);
        QCOMPARE(basket.dlg.table->item(1, 0)->text(), u"D1"_s);
        basket.Confirm();
        QVERIFY(basket.Done());
        ExpectQuestion(
            shop.boxes.Boxes().at(0),
            u"还回以下 1 部影片:\nD1《无间道》  零租  退押金 45.00 元\n\n不能还回,不处理:\n"
            "V1《英雄》  影片编号错误,此影片未借出!\n\n合计:退押金 45.00 元\n\n以上信息是否正确,请确认?"_s);
        QCOMPARE(Db::Count(u"Record WHERE ReturnDate=''"_s), 0);
    }

    // Nothing to return refuses 确定; Escape and 否 write nothing.
    void nothingWrittenUnlessConfirmed() {
        DeskShop shop;
        Out(u"V1"_s, u"C1"_s, u"2026-12-01"_s);
        Out(u"D1"_s, QString(), u"2026-12-01"_s, 45);
        const QString before = DeskShop::Snapshot();
        {
            Basket basket;
            basket.Scan({u"X9"_s});
            basket.Confirm();
            ExpectRefusal(shop.boxes, u"清单中没有可以还回的影片!"_s);
            QVERIFY(!basket.dlg.IsEnded());
            shop.boxes.Clear();
            basket.Scan({u"V1"_s, u"D1"_s});
            shop.boxes.Answer(IDNO);
            basket.Confirm();
            QCOMPARE(shop.boxes.Boxes().size(), 1);
            QVERIFY(!basket.dlg.IsEnded());
            QTest::keyClick(basket.dlg.filmEdit, Qt::Key_Escape);
            QVERIFY(basket.dlg.IsEnded());
            QCOMPARE(basket.dlg.Result(), int(IDCANCEL));
        }
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(Db::Count(u"Ledger"_s) + Db::Count(u"DeskAction"_s), 0);
    }

    // Another desk takes a film back after it was scanned, or while the confirmation is up: 确定
    // refuses with the film and why, and nothing of the basket is written. The rest goes on the
    // next 确定.
    void aFilmReturnedAtAnotherDeskStopsTheBasket() {
        DeskShop shop;
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        Out(u"V1"_s, u"C1"_s, u"2026-12-01"_s);
        Out(u"D1"_s, QString(), u"2026-12-01"_s, 45);
        Out(u"D2"_s, QString(), u"2026-12-01"_s, 20);
        const char* otherDesk = "UPDATE Record SET ReturnDate='2026-12-07', OptUser='B' WHERE FilmID='%1'";
        Basket basket;
        basket.Scan({u"V1"_s, u"D1"_s, u"D2"_s});
        QCOMPARE(ForeignExec(QString::fromLatin1(otherDesk).arg(u"D1"_s).toUtf8().constData()),
                 EngineError::Ok);
        const QString afterOther = DeskShop::Snapshot();
        basket.Confirm();
        ExpectRefusal(
            shop.boxes,
            u"D1《无间道》:影片编号错误,此影片未借出!\n\n本单的影片都没有还回。请看清单后再按确定。"_s);
        QCOMPARE(DeskShop::Snapshot(), afterOther);
        QCOMPARE(basket.dlg.table->item(1, 8)->text(), u"影片编号错误,此影片未借出!"_s);

        shop.boxes.Clear();
        shop.boxes.WhileNextBoxIsUp([otherDesk] {
            QCOMPARE(ForeignExec(QString::fromLatin1(otherDesk).arg(u"D2"_s).toUtf8().constData()),
                     EngineError::Ok);
        });
        const QString beforeConfirm =
            Db::Value(u"SELECT group_concat(FilmID||ReturnDate) AS v FROM Record"_s);
        basket.Confirm();
        QCOMPARE(shop.boxes.Boxes().size(), 2);
        QCOMPARE(shop.boxes.Boxes().at(1).text,
                 u"D2《功夫》:影片编号错误,此影片未借出!\n\n本单的影片都没有还回。这部影片已在清单中标出,"
                 "再按确定还回其余的影片。"_s);
        QVERIFY(!basket.dlg.IsEnded());
        QCOMPARE(Db::Count(u"Record WHERE FilmID='V1' AND ReturnDate=''"_s), 1);
        QCOMPARE(Db::Count(u"Ledger"_s) + Db::Count(u"DeskAction"_s), 0);

        shop.boxes.Clear();
        basket.Confirm();
        QVERIFY(basket.Done());
        QCOMPARE(
            Db::Value(
                u"SELECT group_concat(FilmID||':'||OptUser, ',') AS v FROM (SELECT * FROM Record ORDER BY ID)"_s),
            u"V1:Admin,D1:B,D2:B"_s);
    }

    // A disc back that a client waits for is held for him: its row and the last box say so.
    void aWaitingClientIsNamedOnTheRowAndInTheLastBox() {
        DeskShop shop;
        DeskShop::AddClient(u"C2"_s, 100);
        Out(u"V1"_s, u"C1"_s, u"2026-12-01"_s);
        Out(u"D1"_s, QString(), u"2026-12-01"_s, 45);
        QVERIFY(Db::Exec(u"INSERT INTO Reservation (ClientID,FilmName,AskDate,State) VALUES "
                         "('C2','英雄','2026-12-01','等待')"_s));
        Basket basket;
        basket.Scan({u"V1"_s, u"D1"_s});
        basket.Confirm();
        QVERIFY(basket.Done());
        QCOMPARE(basket.dlg.table->item(0, 8)->text(), u"留给预约的客户 C2,保留到 2026-12-10"_s);
        QCOMPARE(shop.boxes.Boxes().at(1).text, u"已还回 2 部影片。\n退押金合计:45.00 元\n\n请把此片留给客户 "
                                                "C2(电话 123):\n《英雄》V1,保留到 2026-12-10。"_s);
        QCOMPARE(Db::Count(u"Reservation WHERE State='已留片' AND HeldFilmID='V1'"_s), 1);
    }

    // 撤销 takes the films of a basket back out one at a time, the last first, each with its own
    // rows of the ledger reversed.
    void eachFilmIsUndoneOnItsOwn() {
        DeskShop shop;
        Out(u"V1"_s, u"C1"_s, u"2026-12-01"_s);
        Out(u"D1"_s, QString(), u"2026-12-01"_s, 45);
        Basket basket;
        basket.Scan({u"V1"_s, u"D1"_s});
        basket.Confirm();
        QVERIFY(basket.Done());
        ModalScript script([](CDialog& dialog) {
            auto* undo = dynamic_cast<CUndoDlg*>(&dialog);
            QVERIFY(undo);
            undo->Form()->reasonEdit->setText(u"拿错了"_s);
            undo->OnOK();
        });
        QString done;
        QVERIFY(CUndoDlg::UndoLast(nullptr, &done));
        QCOMPARE(Db::Value(u"SELECT group_concat(FilmID) AS v FROM Record WHERE ReturnDate=''"_s), u"D1"_s);
        QCOMPARE(Db::Value(u"SELECT SUM(Fen) AS v FROM Ledger WHERE FilmID='D1'"_s), u"0"_s);
        QVERIFY(CUndoDlg::UndoLast(nullptr, &done));
        QCOMPARE(Db::Count(u"Record WHERE ReturnDate='' AND OptUser='lender'"_s), 2);
    }

    // From 影片还回: the code typed goes along, and the single form ends as done.
    void openedFromTheSingleReturn() {
        DeskShop shop;
        Out(u"V1"_s, u"C1"_s, u"2026-12-01"_s);
        Out(u"D1"_s, QString(), u"2026-12-01"_s, 45);
        CReturnDlg single;
        single.show();
        single.OnInitDialog();
        TypeText(single.Form()->filmEdit, u"V1"_s);
        QStringList firstRows;
        ModalScript script([&](CDialog& dialog) {
            auto* basket = dynamic_cast<CReturnBasketDlg*>(&dialog);
            QVERIFY(basket);
            basket->show();
            firstRows = Shown(*basket);
            TypeText(basket->filmEdit, u"D1"_s);
            QTest::keyClick(basket->filmEdit, Qt::Key_Return);
            QTest::keyClick(basket->filmEdit, Qt::Key_Return);
        });
        auto* button = single.findChild<QPushButton*>(u"basketButton"_s);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(firstRows, QStringList({u"V1|英雄|月租|C1|2026-12-01|6|||"_s}));
        QVERIFY(single.IsEnded());
        QCOMPARE(single.Result(), int(IDOK));
        QCOMPARE(single.m_strDone, u"多片还回 2 部(V1、D1),退押金 45.00 元"_s);
        QCOMPARE(Db::Count(u"Record WHERE ReturnDate=''"_s), 0);
    }
};
VORIX_TEST(ReturnBasketTest)
#include "tst_ReturnBasket.moc"
