#include "RecordTest.h"
#include "Shop.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "data/CAdoDb.h"
#include "data/CRentInfo.h"

#include <QTest>

namespace {
const QString kMonthly = QStringLiteral("月租");
const QString kDaily = QStringLiteral("零租");

CRentInfo Rental(const QString& clientId, const QString& filmId, const QString& type,
                 const QString& returnDate = QString()) {
    CRentInfo rent;
    rent.ClientID = clientId;
    rent.FilmID = filmId;
    rent.Type = type;
    rent.Foregift = type == kDaily ? 12.5f : 0.0f;
    rent.BorrowDate = QStringLiteral("2005-11-20");
    rent.ReturnDate = returnDate;
    rent.OptUser = QStringLiteral("Admin");
    return rent;
}

// The engine's words for a second open rental of one film.
const QByteArray kOpenFilmTwice =
    EngineText("UNIQUE constraint failed: Record.FilmID",
               "duplicate key value violates unique constraint \"record_openfilm\"")
        .toUtf8();

// The films of the remaining rows, in row order, each with R when returned.
QString Remaining() {
    return Db::Value(
        QStringLiteral("SELECT group_concat(FilmID||CASE WHEN ReturnDate='' THEN '' ELSE 'R' END, ' ')"
                       " AS v FROM (SELECT * FROM Record ORDER BY ID)"));
}

// A monthly client C1 out with M1, returned M2 and M3; per-day D1 out, D2 and D3 returned.
void AddLedger() {
    const QString back = QStringLiteral("2005-12-01");
    Rental(QStringLiteral("C1"), QStringLiteral("M1"), kMonthly).Insert();
    Rental(QStringLiteral("C1"), QStringLiteral("M2"), kMonthly, back).Insert();
    Rental(QStringLiteral("C2"), QStringLiteral("M3"), kMonthly, back).Insert();
    Rental(QString(), QStringLiteral("D1"), kDaily).Insert();
    Rental(QString(), QStringLiteral("D2"), kDaily, back).Insert();
    Rental(QString(), QStringLiteral("D3"), kDaily, back).Insert();
}
} // namespace

class RentInfoTest : public QObject {
    Q_OBJECT
private slots:
    void statementTexts() {
        TempShop shop;
        BoxRecorder boxes;
        StatementRecorder sql;
        CRentInfo rent = Rental(QString(), QStringLiteral("F001"), kDaily);
        rent.Insert();
        rent.ReturnDate = QStringLiteral("2005-11-22");
        rent.Update(4);
        rent.DeleteById(4);
        rent.ExistsOpenByFilmId(QStringLiteral("F001"));
        rent.LoadOpenByFilmId(QStringLiteral("F001"));
        rent.DeleteByClientId(QStringLiteral("C1"));
        rent.PurgeReturnedMonthly();
        rent.PurgeReturnedDaily();
        QCOMPARE(
            sql.Statements(),
            QStringList(
                {QStringLiteral("INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,"
                                "OptUser) VALUES('','F001','零租',12.500000,'2005-11-20','','Admin')"),
                 QStringLiteral("UPDATE Record SET ClientID='',FilmID='F001', Type='零租', "
                                "Foregift=12.500000, BorrowDate='2005-11-20',ReturnDate='2005-11-22',"
                                "OptUser='Admin' WHERE ID=4"),
                 QStringLiteral("DELETE FROM Record WHERE ID=4"),
                 QStringLiteral("SELECT * FROM Record WHERE FilmID='F001' AND ReturnDate=''"),
                 QStringLiteral("SELECT * FROM Record WHERE FilmID='F001' AND ReturnDate=''"),
                 QStringLiteral("DELETE FROM Record WHERE ClientID='C1'"),
                 QStringLiteral("DELETE FROM Record WHERE Type='月租' AND ReturnDate<>''"),
                 QStringLiteral("DELETE FROM Record WHERE Type='零租' AND ReturnDate<>''")}));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void lendReturnAndDelete() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Rental(QStringLiteral("C1"), QStringLiteral("F001"), kMonthly).Insert());

        CRentInfo out;
        out.LoadOpenByFilmId(QStringLiteral("F001"));
        QCOMPARE(out.ID, 1);
        QCOMPARE(out.ClientID, QStringLiteral("C1"));
        QCOMPARE(out.FilmID, QStringLiteral("F001"));
        QCOMPARE(out.Type, kMonthly);
        QCOMPARE(out.Foregift, 0.0f);
        QCOMPARE(out.BorrowDate, QStringLiteral("2005-11-20"));
        QCOMPARE(out.ReturnDate, QString());
        QCOMPARE(out.OptUser, QStringLiteral("Admin"));

        // Every column is rewritten; a return date ends the out state.
        CRentInfo back;
        back.ClientID = QString();
        back.FilmID = QStringLiteral("F002");
        back.Type = kDaily;
        back.Foregift = 0.1f;
        back.BorrowDate = QStringLiteral("2005-11-21");
        back.ReturnDate = QStringLiteral("2005-11-23");
        back.OptUser = QStringLiteral("李四");
        QVERIFY(back.Update(1));
        QCOMPARE(back.ExistsOpenByFilmId(QStringLiteral("F001")), Lookup::Missing);
        QCOMPARE(back.ExistsOpenByFilmId(QStringLiteral("F002")), Lookup::Missing);
        QCOMPARE(
            Db::Value(QStringLiteral("SELECT ClientID||'/'||FilmID||'/'||Type||'/'||Foregift||'/'||BorrowDate"
                                     "||'/'||ReturnDate||'/'||OptUser AS v FROM Record WHERE ID=1")),
            QStringLiteral("/F002/零租/0.1/2005-11-21/2005-11-23/李四"));

        QVERIFY(back.DeleteById(1));
        QCOMPARE(Db::Count(QStringLiteral("Record")), 0);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void outStateWithNoneOneAndSeveralRows() {
        TempShop shop;
        CRentInfo probe;
        const QString film = QStringLiteral("F001");
        QCOMPARE(probe.ExistsOpenByFilmId(film), Lookup::Missing);
        Rental(QString(), film, kDaily, QStringLiteral("2005-11-21")).Insert();
        QCOMPARE(probe.ExistsOpenByFilmId(film), Lookup::Missing); // returned only: not out
        probe.Foregift = 3;
        probe.LoadOpenByFilmId(film);
        QCOMPARE(probe.ID, 0);
        QCOMPARE(probe.Foregift, 3.0f);

        Rental(QString(), film, kDaily, QStringLiteral("2005-11-22")).Insert();
        const int outId = Added(Rental(QStringLiteral("C1"), film, kMonthly), QStringLiteral("Record"));
        Rental(QString(), film, kDaily, QStringLiteral("2005-11-25")).Insert();
        QCOMPARE(probe.ExistsOpenByFilmId(film), Lookup::Found);
        QCOMPARE(probe.ExistsOpenByFilmId(QStringLiteral("f001")),
                 Lookup::Found); // the column ignores letter case
        probe.LoadOpenByFilmId(film);
        QCOMPARE(probe.ID, outId);
        QCOMPARE(probe.ClientID, QStringLiteral("C1"));
    }

    void secondOutRowForAFilmIsRefused() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Rental(QString(), QStringLiteral("F001"), kDaily).Insert());
        QVERIFY(!Rental(QStringLiteral("C1"), QStringLiteral("F001"), kMonthly).Insert());
        QVERIFY(!Rental(QStringLiteral("C1"), QStringLiteral("f001"), kMonthly).Insert());
        QCOMPARE(boxes.Texts().size(), 2);
        for (const QString& box : boxes.Texts())
            ExpectDescribed(box, "这部影片已经借出", kOpenFilmTwice.constData());
        QCOMPARE(boxes.Boxes().first().icon, MsgIcon::Warning);
        // Returned rows beside the out row are fine, but an update may not put one out again.
        const int returned =
            Added(Rental(QString(), QStringLiteral("F001"), kDaily, QStringLiteral("2005-11-21")),
                  QStringLiteral("Record"));
        QVERIFY(returned > 0);
        QCOMPARE(Db::Count(QStringLiteral("Record")), 2);
        boxes.Clear();
        QVERIFY(!Rental(QString(), QStringLiteral("F001"), kDaily).Update(returned));
        QCOMPARE(boxes.Texts().size(), 1);
        ExpectDescribed(boxes.Texts().first(), "这部影片已经借出", kOpenFilmTwice.constData());
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ReturnDate=''")), 1);
    }

    void purgesLeaveOutRowsAndTheOtherPlan() {
        TempShop shop;
        BoxRecorder boxes;
        AddLedger();
        CRentInfo rent;
        QVERIFY(rent.PurgeReturnedMonthly());
        QCOMPARE(Remaining(), QStringLiteral("M1 D1 D2R D3R"));
        QVERIFY(rent.PurgeReturnedDaily());
        QCOMPARE(Remaining(), QStringLiteral("M1 D1"));

        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Record")));
        AddLedger();
        QVERIFY(rent.PurgeReturnedDaily());
        QCOMPARE(Remaining(), QStringLiteral("M1 M2R M3R D1"));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void deleteByClientIdTakesOutAndReturnedRows() {
        TempShop shop;
        AddLedger();
        CRentInfo rent;
        QVERIFY(rent.DeleteByClientId(QStringLiteral("C1")));
        QCOMPARE(Remaining(), QStringLiteral("M3R D1 D2R D3R"));
        // Per-day rentals carry the empty client number: all of them go.
        QVERIFY(rent.DeleteByClientId(QString()));
        QCOMPARE(Remaining(), QStringLiteral("M3R"));
    }

    void foregiftThatIsNoNumberReadsAsZero() {
        VORIX_FILE_ONLY(); // the server takes no text for a number
        TempShop shop;
        Rental(QString(), QStringLiteral("F001"), kDaily).Insert();
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Record SET Foregift='abc'")));
        CRentInfo rent;
        rent.Foregift = 1;
        rent.LoadOpenByFilmId(QStringLiteral("F001"));
        QCOMPARE(rent.Foregift, 0.0f);
    }

    void hostileTextsAreStoredAndMatchedAsTyped_data() { AddHostileTexts(); }
    void hostileTextsAreStoredAndMatchedAsTyped() {
        QFETCH(QString, value);
        QFETCH(QString, near);
        TempShop shop;
        BoxRecorder boxes;
        Rental(near, near, kDaily).Insert();
        CRentInfo probe;
        QCOMPARE(probe.ExistsOpenByFilmId(value), Lookup::Missing);

        CRentInfo typed;
        typed.ClientID = typed.FilmID = typed.Type = typed.BorrowDate = typed.OptUser = value;
        const int id = Added(typed, QStringLiteral("Record"));
        QVERIFY(id > 0);
        QCOMPARE(probe.ExistsOpenByFilmId(value), Lookup::Found);
        probe.LoadOpenByFilmId(value);
        QCOMPARE(probe.ID, id);
        for (const QString& field :
             {probe.ClientID, probe.FilmID, probe.Type, probe.BorrowDate, probe.OptUser})
            QCOMPARE(field, value);

        // The return date carries the value too; only the empty text keeps the row out.
        typed.ReturnDate = value;
        QVERIFY(typed.Update(id));
        QCOMPARE(probe.ExistsOpenByFilmId(value), value.isEmpty() ? Lookup::Found : Lookup::Missing);
        QCOMPARE(
            Db::Value(QStringLiteral("SELECT ReturnDate AS v FROM Record WHERE ID=") + QString::number(id)),
            value);
        QCOMPARE(probe.ExistsOpenByFilmId(near), Lookup::Found);

        QVERIFY(probe.DeleteByClientId(value));
        QCOMPARE(Remaining(), near);
        QCOMPARE(boxes.Boxes().size(), 0);
    }
};
VORIX_TEST(RentInfoTest)

#include "tst_RentInfo.moc"
