#include "DeskKeys.h"
#include "ReserveFixture.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "desk/CPickDlg.h"
#include "desk/DeskLines.h"
#include "manage/CClientManageDlg.h"
#include "manage/CFilmManageDlg.h"
#include "manage/DeskUndo.h"
#include "ui_CClientManageDlg.h"
#include "ui_CFilmManageDlg.h"

#include <QAbstractItemModelTester>
#include <optional>

using namespace ReserveDesk;
using namespace Qt::StringLiterals;

namespace {
// The shop of DeskShop with the clients who wait: C2 and C3 (phone 123), C4.
struct ReserveShop : DeskShop {
    ReserveShop() {
        for (const char* client : {"C2", "C3", "C4"})
            AddClient(QString::fromLatin1(client), 100);
    }
};

QString CallOut(const QString& client, const QString& film, const QString& until) {
    return u"请把此片留给客户 %1(电话 123):\n《英雄》%2,保留到 %3。"_s.arg(client, film, until);
}

QString HeldRefusal(const QString& client, const QString& until) {
    return u"此影片已为 %1(电话 123) 留片,保留到 %2,请选择其它影片!"_s.arg(client, until);
}
} // namespace

class ReservationTest : public QObject {
    Q_OBJECT
private slots:
    // Two clients wait for the one disc of a title: the return calls the first out, the second
    // cannot have it, the first's lending takes it, the next return holds it for the second, and a
    // hold that lapses passes the disc to the next who waits.
    void oneDiscServesTheQueueInTurn() {
        ReserveShop shop;
        DeskShop::AddOutRental(u"V1"_s, u"C1"_s, u"月租"_s, 0);
        Reserve(u"C2"_s, u"V1"_s);
        Reserve(u"C3"_s, u"V1"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QCOMPARE(Of(u"C2"_s), u"等待"_s);
        QCOMPARE(Db::Value(u"SELECT FilmName||'|'||FilmID||'|'||AskDate||'|'||OptUser AS v FROM Reservation "
                           "WHERE ClientID='C3'"_s),
                 u"英雄||2026-12-07|Admin"_s);

        QVERIFY(Return(u"V1"_s));
        QCOMPARE(shop.boxes.Boxes().size(), 2); // the return's question, then the call-out
        const MessageRequest call = shop.boxes.Boxes().at(1);
        QCOMPARE(call.text, CallOut(u"C2"_s, u"V1"_s, u"2026-12-10"_s));
        QCOMPARE(call.caption, u"预约"_s);
        QCOMPARE(call.icon, MsgIcon::Information);
        QCOMPARE(Of(u"C2"_s), u"已留片 V1 2026-12-10"_s);
        QCOMPARE(Of(u"C3"_s), u"等待"_s);
        QCOMPARE(DeskLines::Film(u"V1"_s).text, u"V1《英雄》 · VCD · 动作片 · 已留片:C2,保留到 2026-12-10"_s);

        // Not to another client, nor for the day: the Part's checks passed, the hold refuses.
        shop.boxes.Clear();
        const QString before = DeskShop::Snapshot();
        QVERIFY(!Lend(u"C3"_s, u"V1"_s));
        QVERIFY(!Lend(QString(), u"V1"_s));
        QCOMPARE(shop.boxes.Texts(), QStringList(2, HeldRefusal(u"C2"_s, u"2026-12-10"_s)));
        QCOMPARE(DeskShop::Snapshot(), before);
        // A Part's refusal comes first, in its own words.
        shop.boxes.Clear();
        QVERIFY(!Lend(u"C9"_s, u"V1"_s));
        ExpectRefusal(shop.boxes, u"客户编号错误!"_s);

        shop.boxes.Clear();
        QVERIFY(Lend(u"C2"_s, u"V1"_s));
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QCOMPARE(Of(u"C2"_s), u"已取 V1 2026-12-10"_s);
        QCOMPARE(Db::Value(u"SELECT DoneDate AS v FROM Reservation WHERE ClientID='C2'"_s), u"2026-12-07"_s);

        Reserve(u"C4"_s, u"V1"_s);
        QVERIFY(Return(u"V1"_s));
        QCOMPARE(shop.boxes.Texts().last(), CallOut(u"C3"_s, u"V1"_s, u"2026-12-10"_s));
        QCOMPARE(Of(u"C3"_s), u"已留片 V1 2026-12-10"_s);
        QCOMPARE(Of(u"C4"_s), u"等待"_s);

        // C3 does not come: the day after the last one, the first desk that looks passes it on.
        shop.boxes.Clear();
        const FixedClock later(QDateTime(QDate(2026, 12, 11), QTime(9, 0)));
        QCOMPARE(DeskLines::Film(u"V1"_s).text, u"V1《英雄》 · VCD · 动作片 · 已留片:C4,保留到 2026-12-14"_s);
        QCOMPARE(Of(u"C3"_s), u"已过期 V1 2026-12-10"_s);
        QCOMPARE(Of(u"C4"_s), u"已留片 V1 2026-12-14"_s);
        QVERIFY(!Lend(u"C3"_s, u"V1"_s));
        QCOMPARE(shop.boxes.Texts(), QStringList{HeldRefusal(u"C4"_s, u"2026-12-14"_s)});
        QVERIFY(Lend(u"C4"_s, u"V1"_s));
        // The disc of a lapsed hold with no one waiting is free again.
        QVERIFY(Return(u"V1"_s));
        QCOMPARE(Db::Count(u"Reservation WHERE State='已留片'"_s), 0);
        QCOMPARE(DeskLines::Film(u"V1"_s).text, u"V1《英雄》 · VCD · 动作片 · 在店"_s);
    }

    // A return that put the disc aside for a waiting client is not undone: the disc stays his.
    void undoKeepsADiscHeldAtItsReturn() {
        ReserveShop shop;
        DeskShop::AddOutRental(u"V1"_s, u"C1"_s, u"月租"_s, 0);
        Reserve(u"C2"_s, u"V1"_s);
        QVERIFY(Return(u"V1"_s));
        const QString before = DeskShop::Snapshot();
        QString refusal;
        QString done;
        const int action = Db::Value(u"SELECT max(ID) AS v FROM DeskAction"_s).toInt();
        QVERIFY(!DeskUndo::Undo(action, u"还错了"_s, &refusal, &done));
        QCOMPARE(refusal, u"影片 V1 还回后已留给预约的客户 C2,不能撤销这次还回。"_s);
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(Of(u"C2"_s), u"已留片 V1 2026-12-10"_s);
    }

    // Three discs of a title: the first back serves the first who waits, the next the second; a
    // disc no one waits for is simply back.
    void discsOfATitleServeInOrder() {
        ReserveShop shop;
        for (const char* film : {"V2", "V3"}) {
            DeskShop::AddFilm(QString::fromLatin1(film), u"VCD"_s, u"英雄"_s);
            DeskShop::AddOutRental(QString::fromLatin1(film), u"C1"_s, u"月租"_s, 0);
        }
        DeskShop::AddOutRental(u"V1"_s, QString(), u"零租"_s, 20);
        Reserve(u"C2"_s, u"V2"_s);
        Reserve(u"C3"_s, u"V1"_s);
        QVERIFY(Return(u"V3"_s));
        QVERIFY(Return(u"V1"_s));
        QVERIFY(Return(u"V2"_s));
        QCOMPARE(shop.boxes.Texts().filter(u"请把此片"_s),
                 QStringList({CallOut(u"C2"_s, u"V3"_s, u"2026-12-10"_s),
                              CallOut(u"C3"_s, u"V1"_s, u"2026-12-10"_s)}));
        QCOMPARE(Of(u"C2"_s), u"已留片 V3 2026-12-10"_s);
        QCOMPARE(Of(u"C3"_s), u"已留片 V1 2026-12-10"_s);
        // A reservation of one disc waits for that disc alone.
        shop.boxes.Clear();
        QVERIFY(Lend(u"C1"_s, u"V2"_s));
        QVERIFY(Lend(u"C2"_s, u"V3"_s));
        Reserve(u"C4"_s, u"V2"_s, true);
        QVERIFY(Return(u"V3"_s));
        QCOMPARE(Of(u"C4"_s), u"等待"_s);
        QVERIFY(Return(u"V2"_s));
        QCOMPARE(Of(u"C4"_s), u"已留片 V2 2026-12-10"_s);
    }

    // A client reserves a title once while it is open, and not while he has it out; a disc free in
    // the shop is put aside at once.
    void addingRefusesTwiceAndHoldsAFreeDisc() {
        ReserveShop shop;
        DeskShop::AddOutRental(u"V1"_s, u"C1"_s, u"月租"_s, 0);
        Reserve(u"C1"_s, u"V1"_s);
        ExpectRefusal(shop.boxes, u"客户 C1 正借着《英雄》(V1),不能预约此片!"_s);
        shop.boxes.Clear();
        Reserve(u"c2"_s, u"v1"_s); // as the file finds them, in any letter case
        Reserve(u"C2"_s, u"V1"_s);
        ExpectRefusal(shop.boxes, u"客户 C2 已预约《英雄》,不能重复预约!"_s);
        for (const auto& [client, film, refusal] : {std::tuple{u""_s, u"V1"_s, u"未填写客户编号!"_s},
                                                    {u"C3"_s, u""_s, u"未填写影片编号!"_s},
                                                    {u"C9"_s, u"V1"_s, u"客户编号错误!"_s},
                                                    {u"C3"_s, u"X9"_s, u"影片编号错误!"_s}}) {
            shop.boxes.Clear();
            Reserve(client, film);
            ExpectRefusal(shop.boxes, refusal);
        }
        QCOMPARE(Db::Count(u"Reservation"_s), 1);
        QCOMPARE(Of(u"C2"_s), u"等待"_s);
        // A hostile title is stored and matched as typed.
        shop.boxes.Clear();
        DeskShop::AddFilm(u"Q1"_s, u"DVD"_s, u"它''s_%"_s);
        Reserve(u"C3"_s, u"Q1"_s);
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{u"《它's_%》Q1 在店,请把此片留给客户 C3,保留到 2026-12-10。"_s});
        QCOMPARE(Of(u"C3"_s), u"已留片 Q1 2026-12-10"_s);
        shop.boxes.Clear();
        Reserve(u"C3"_s, u"Q1"_s);
        ExpectRefusal(shop.boxes, u"客户 C3 已预约《它's_%》,不能重复预约!"_s);
        // The shop sets the days a disc is held.
        CReserveDlg dlg;
        dlg.OnInitDialog();
        QCOMPARE(dlg.Form()->daysSpin->value(), 3);
        dlg.Form()->daysSpin->setValue(5);
        shop.boxes.Clear();
        Reserve(u"C4"_s, u"D1"_s);
        QCOMPARE(Of(u"C4"_s), u"已留片 D1 2026-12-12"_s);
    }

    // The list: every reservation with the client's phone and its place in the title's queue,
    // narrowed by state; a cancelled hold passes its disc on.
    void listFiltersAndCancels() {
        ReserveShop shop;
        QVERIFY(Db::Exec(u"UPDATE Client SET PhoneNum='13900002222', Remark='熟客' WHERE ClientID='C4'"_s));
        DeskShop::AddOutRental(u"V1"_s, u"C1"_s, u"月租"_s, 0);
        Reserve(u"C2"_s, u"V1"_s);
        Reserve(u"C3"_s, u"V1"_s);
        Reserve(u"C4"_s, u"V1"_s);
        QVERIFY(Return(u"V1"_s));
        CReserveDlg dlg;
        dlg.show();
        dlg.OnInitDialog();
        QAbstractItemModelTester tester(dlg.Form()->grid->model());
        QCOMPARE(dlg.windowTitle(), u"预约"_s);
        QVERIFY(dlg.findChild<QPushButton*>(u"exportButton"_s));
        QVERIFY(dlg.findChild<QPushButton*>(u"printButton"_s));
        const auto rows = [&] {
            return Db::Rows(dlg.m_strQuery, QLatin1Char('|'), QLatin1Char('\n')).section(u'|', 1);
        };
        QCOMPARE(Db::Rows(dlg.m_strQuery, QLatin1Char('|'), QLatin1Char('\n')),
                 u"1|C2|123||英雄||2026-12-07|已留片 V1 至 2026-12-10|\n"
                 "2|C3|123||英雄||2026-12-07|等待|1\n"
                 "3|C4|13900002222|熟客|英雄||2026-12-07|等待|2"_s);
        Pick(dlg.Form()->stateCombo, u"等待"_s);
        QCOMPARE(dlg.DataControl()->rowCount(), 2);
        Pick(dlg.Form()->stateCombo, u"全部"_s);
        dlg.Form()->grid->selectRow(0);
        shop.boxes.Answer(IDYES);
        QTest::mouseClick(dlg.Form()->cancelReserveButton, Qt::LeftButton);
        QCOMPARE(shop.boxes.Texts().mid(2),
                 QStringList({u"是否取消客户 C2 对《英雄》的预约?"_s,
                              u"此片改留给客户 C3:《英雄》V1,保留到 2026-12-10。"_s}));
        QCOMPARE(Of(u"C2"_s), u"已取消 V1 2026-12-10"_s);
        QCOMPARE(Of(u"C3"_s), u"已留片 V1 2026-12-10"_s);
        QCOMPARE(rows().section(u'\n', 0, 0), u"C2|123||英雄||2026-12-07|已取消 2026-12-07|"_s);
        // What is done stays done.
        shop.boxes.Clear();
        dlg.Form()->grid->selectRow(0);
        shop.boxes.Answer(IDYES);
        QTest::mouseClick(dlg.Form()->cancelReserveButton, Qt::LeftButton);
        QCOMPARE(shop.boxes.Texts().last(), u"此预约已是“已取消”,不能取消。"_s);
    }

    // An exchange lends its new disc and takes the old one back: a disc held for another client
    // is refused, and the old disc goes to whoever waits for it.
    void exchangeLendsAndTakesBack() {
        ReserveShop shop;
        DeskShop::AddFilm(u"V2"_s, u"VCD"_s, u"英雄"_s);
        DeskShop::AddOutRental(u"D1"_s, u"C1"_s, u"月租"_s, 0);
        Reserve(u"C2"_s, u"V1"_s); // V1 is in: held for C2 at once
        Reserve(u"C3"_s, u"D1"_s);
        QCOMPARE(Of(u"C2"_s), u"已留片 V1 2026-12-10"_s);
        shop.boxes.Clear();
        const QString before = DeskShop::Snapshot();
        QVERIFY(!Exchange(u"D1"_s, u"V1"_s));
        QCOMPARE(shop.boxes.Texts().last(), HeldRefusal(u"C2"_s, u"2026-12-10"_s));
        QCOMPARE(DeskShop::Snapshot(), before);
        shop.boxes.Clear();
        QVERIFY(Exchange(u"D1"_s, u"V2"_s));
        QCOMPARE(shop.boxes.Texts().last(),
                 u"请把此片留给客户 C3(电话 123):\n《无间道》D1,保留到 2026-12-10。"_s);
        QCOMPARE(Of(u"C3"_s), u"已留片 D1 2026-12-10"_s);
    }

    // Deleting a client or a film says how many reservations go with it, in the question that
    // asks, and cancels them; a disc the client held passes on.
    void deletingCancelsTheReservations() {
        ReserveShop shop;
        DeskShop::AddOutRental(u"V1"_s, u"C1"_s, u"月租"_s, 0);
        Reserve(u"C2"_s, u"V1"_s);
        Reserve(u"C3"_s, u"V1"_s);
        Reserve(u"C4"_s, u"D1"_s);
        QVERIFY(Return(u"V1"_s));
        shop.boxes.Clear();
        const auto deleteClient = [&](const QString& client) {
            CClientManageDlg clients;
            clients.OnInitDialog();
            clients.Form()->searchEdit->setText(client);
            clients.OnSearch();
            shop.boxes.Answer(IDYES);
            shop.boxes.Answer(IDYES);
            clients.OnDelete();
        };
        deleteClient(u"C2"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList({u"是否删除当前客户?\n该客户有 1 个预约,将一并取消。"_s,
                                                  u"该客户所有租借记录将一并删除,是否继续?"_s}));
        QCOMPARE(Of(u"C2"_s), u"已取消 V1 2026-12-10"_s);
        QCOMPARE(Of(u"C3"_s), u"已留片 V1 2026-12-10"_s);
        shop.boxes.Clear();
        deleteClient(u"C1"_s); // no reservation: the question as ever
        QCOMPARE(shop.boxes.Texts().first(), u"是否删除当前客户?"_s);

        shop.boxes.Clear();
        CFilmManageDlg films;
        films.OnInitDialog();
        films.Form()->searchEdit->setText(u"D1"_s);
        films.OnSearch();
        shop.boxes.Answer(IDYES);
        films.OnDelete();
        QCOMPARE(shop.boxes.Texts(), QStringList{u"是否删除当前记录?\n此片有 1 个预约,将一并取消。"_s});
        QCOMPARE(Of(u"C4"_s), u"已取消 D1 2026-12-10"_s);
        QCOMPARE(Db::Count(u"Film WHERE FilmID='D1'"_s), 0);

        // A failed read of them stops the deletion after the engine's message.
        QVERIFY(Db::Exec(u"DROP TABLE Reservation"_s));
        shop.boxes.Clear();
        deleteClient(u"C3"_s);
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        QVERIFY(!shop.boxes.Texts().first().startsWith(u"是否删除"_s));
        QCOMPARE(Db::Count(u"Client WHERE ClientID='C3'"_s), 1);
    }

    // From the keyboard as a scanner types: the client, Enter, the film, Enter adds; Enter in the
    // list adds nothing and says nothing.
    void enterAddsFromTheForm() {
        ReserveShop shop;
        CReserveDlg dlg;
        ShowForKeys(dlg);
        QVERIFY(dlg.Form()->clientEdit->hasFocus());
        ScanCode(u"C2"_s);
        QVERIFY(dlg.Form()->filmEdit->hasFocus());
        ScanCode(u"V1"_s);
        QCOMPARE(Of(u"C2"_s), u"已留片 V1 2026-12-10"_s);
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{u"《英雄》V1 在店,请把此片留给客户 C2,保留到 2026-12-10。"_s});
        QVERIFY(dlg.Form()->clientEdit->hasFocus());
        shop.boxes.Clear();
        dlg.Form()->grid->setFocus();
        QTest::keyClick(dlg.Form()->grid, Qt::Key_Return);
        QCOMPARE(shop.boxes.Texts().join(u"/"_s), QString());
        QVERIFY(!dlg.IsEnded());
        QCOMPARE(Db::Count(u"Reservation"_s), 1);
    }

    // The film picker tells a disc held from one free to lend.
    void pickerShowsHeldDiscs() {
        ReserveShop shop;
        Reserve(u"C2"_s, u"V1"_s);
        CPickDlg picker(CPickDlg::Kind::Film);
        picker.OnInitDialog();
        QCOMPARE(Db::Rows(picker.m_strQuery, QLatin1Char('|'), QLatin1Char('\n')),
                 u"V1|英雄||VCD|动作片|已留片\nD1|无间道||DVD|动作片|在店"_s);
    }
};
VORIX_TEST(ReservationTest)
#include "tst_Reservation.moc"
