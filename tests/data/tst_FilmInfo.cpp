#include "RecordTest.h"
#include "Shop.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "data/CFilmInfo.h"

#include <QTest>

namespace {
CFilmInfo OrdinaryFilm() {
    CFilmInfo film;
    film.SetFilmID(QStringLiteral("F001"));
    film.SetFilmName(QStringLiteral("英雄"));
    film.SetPlayactor(QStringLiteral("李连杰"));
    film.SetType(QStringLiteral("DVD"));
    film.SetClass1(QStringLiteral("动作片"));
    film.SetClass2(QStringLiteral("大陆"));
    film.SetStgDate(QStringLiteral("2005-11-20"));
    film.SetDegree(7);
    film.SetRemark(QStringLiteral("两张碟"));
    return film;
}
} // namespace

class FilmInfoTest : public QObject {
    Q_OBJECT
private slots:
    void statementTexts() {
        TempShop shop;
        BoxRecorder boxes;
        StatementRecorder sql;
        CFilmInfo film = OrdinaryFilm();
        film.Insert();
        film.Update(5);
        film.DeleteById(5);
        film.ExistsByFilmId(QStringLiteral("F001"));
        film.LoadById(5);
        film.LoadByFilmId(QStringLiteral("F001"));
        QCOMPARE(
            sql.Statements(),
            QStringList(
                {QStringLiteral(
                     "INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,"
                     "Remark) VALUES('F001', '英雄', '李连杰', 'DVD', '动作片', '大陆', "
                     "'2005-11-20', 7,'两张碟')"),
                 QStringLiteral("UPDATE Film SET FilmID='F001',FilmName='英雄', Playactor='李连杰', "
                                "Type='DVD', Class1='动作片',Class2='大陆',StgDate='2005-11-20',Degree='7',"
                                "Remark='两张碟' WHERE ID=5"),
                 QStringLiteral("DELETE FROM Film WHERE ID=5"),
                 QStringLiteral("SELECT * FROM Film WHERE FilmID='F001'"),
                 QStringLiteral("SELECT * FROM Film WHERE ID=5"),
                 QStringLiteral("SELECT * FROM Film WHERE FilmID='F001'")}));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void insertLoadUpdateDelete() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(OrdinaryFilm().Insert());

        CFilmInfo byCode;
        byCode.LoadByFilmId(QStringLiteral("F001"));
        QCOMPARE(byCode.GetID(), 1);
        QCOMPARE(byCode.GetFilmID(), QStringLiteral("F001"));
        QCOMPARE(byCode.GetFilmName(), QStringLiteral("英雄"));
        QCOMPARE(byCode.GetPlayactor(), QStringLiteral("李连杰"));
        QCOMPARE(byCode.GetType(), QStringLiteral("DVD"));
        QCOMPARE(byCode.GetClass1(), QStringLiteral("动作片"));
        QCOMPARE(byCode.GetClass2(), QStringLiteral("大陆"));
        QCOMPARE(byCode.GetStgDate(), QStringLiteral("2005-11-20"));
        QCOMPARE(byCode.GetDegree(), 7);
        QCOMPARE(byCode.GetRemark(), QStringLiteral("两张碟"));

        CFilmInfo byKey;
        byKey.SetID(42);
        byKey.LoadById(1);
        QCOMPARE(byKey.ID, 42); // the key is not read
        QCOMPARE(byKey.FilmName, QStringLiteral("英雄"));
        QCOMPARE(byKey.Degree, 7);

        // Every column is rewritten, the code included; the row is the one of the key passed.
        CFilmInfo changed;
        changed.FilmID = QStringLiteral("F002");
        changed.FilmName = QStringLiteral("Hero");
        changed.Playactor = QString();
        changed.Type = QStringLiteral("VCD");
        changed.Class1 = QStringLiteral("其它片");
        changed.Class2 = QStringLiteral("港台");
        changed.StgDate = QStringLiteral("2006-01-02");
        changed.Degree = 0;
        changed.Remark = QStringLiteral("r");
        QVERIFY(changed.Update(1));
        if (!TestEngine::OnServer()) // the server's column holds only integers
            QCOMPARE(Db::Value(QStringLiteral("SELECT typeof(Degree) AS v FROM Film")),
                     QStringLiteral("integer"));
        CFilmInfo after;
        after.LoadById(1);
        QCOMPARE(after.FilmID, QStringLiteral("F002"));
        QCOMPARE(after.FilmName, QStringLiteral("Hero"));
        QCOMPARE(after.Playactor, QString());
        QCOMPARE(after.Type, QStringLiteral("VCD"));
        QCOMPARE(after.Class1, QStringLiteral("其它片"));
        QCOMPARE(after.Class2, QStringLiteral("港台"));
        QCOMPARE(after.StgDate, QStringLiteral("2006-01-02"));
        QCOMPARE(after.Degree, 0);
        QCOMPARE(after.Remark, QStringLiteral("r"));
        QCOMPARE(after.ExistsByFilmId(QStringLiteral("F001")), Lookup::Missing);

        QVERIFY(after.DeleteById(1));
        QCOMPARE(Db::Count(QStringLiteral("Film")), 0);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void freshRecordInsertsEmptyTextsAndZero() {
        TempShop shop;
        CFilmInfo film;
        film.FilmID = QStringLiteral("F9");
        film.FilmName = QStringLiteral("片");
        QVERIFY(film.Insert());
        QCOMPARE(
            Db::Value(QStringLiteral("SELECT Playactor||Type||Class1||Class2||StgDate||Remark||'/'||Degree "
                                     "AS v FROM Film")),
            QStringLiteral("/0"));
    }

    void loadsOfNoRowLeaveTheRecord() {
        TempShop shop;
        OrdinaryFilm().Insert();
        CFilmInfo film;
        film.Degree = 3;
        film.Remark = QStringLiteral("keep");
        film.LoadById(99);
        film.LoadByFilmId(QStringLiteral("F999"));
        QCOMPARE(film.ID, 0);
        QCOMPARE(film.Degree, 3);
        QCOMPARE(film.Remark, QStringLiteral("keep"));
        QCOMPARE(film.FilmID, QString());
    }

    void existenceWithNoneOneAndSeveralRows() {
        TempShop shop;
        CFilmInfo probe;
        QCOMPARE(probe.ExistsByFilmId(QStringLiteral("F001")), Lookup::Missing);
        OrdinaryFilm().Insert();
        QCOMPARE(probe.ExistsByFilmId(QStringLiteral("F001")), Lookup::Found);
        QCOMPARE(probe.ExistsByFilmId(QStringLiteral("f001")),
                 Lookup::Found); // the column ignores letter case
        QCOMPARE(probe.ExistsByFilmId(QString()), Lookup::Missing);
        CFilmInfo twice = OrdinaryFilm();
        twice.FilmName = QStringLiteral("second");
        twice.Insert();
        QCOMPARE(probe.ExistsByFilmId(QStringLiteral("F001")), Lookup::Found);
        probe.LoadByFilmId(QStringLiteral("F001"));
        QCOMPARE(probe.ID, 1);
        QCOMPARE(probe.FilmName, QStringLiteral("英雄"));
    }

    void degreeThatIsNoNumberReadsAsZero() {
        VORIX_FILE_ONLY();
        TempShop shop;
        OrdinaryFilm().Insert();
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Film SET Degree='many'")));
        CFilmInfo film;
        film.Degree = 5;
        film.LoadByFilmId(QStringLiteral("F001"));
        QCOMPARE(film.Degree, 0);
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Film SET Degree=' 12 times'")));
        film.LoadByFilmId(QStringLiteral("F001"));
        QCOMPARE(film.Degree, 12);
    }

    void hostileTextsAreStoredAndMatchedAsTyped_data() { AddHostileTexts(); }
    void hostileTextsAreStoredAndMatchedAsTyped() {
        QFETCH(QString, value);
        QFETCH(QString, near);
        TempShop shop;
        BoxRecorder boxes;
        CFilmInfo decoy = OrdinaryFilm();
        decoy.FilmID = near;
        const int decoyId = Added(decoy, QStringLiteral("Film"));
        CFilmInfo probe;
        QCOMPARE(probe.ExistsByFilmId(value), Lookup::Missing);

        CFilmInfo typed;
        typed.FilmID = typed.FilmName = typed.Playactor = typed.Type = value;
        typed.Class1 = typed.Class2 = typed.StgDate = typed.Remark = value;
        const int id = Added(typed, QStringLiteral("Film"));
        QVERIFY(id > 0);
        QCOMPARE(probe.ExistsByFilmId(value), Lookup::Found);
        probe.LoadByFilmId(value);
        QCOMPARE(probe.ID, id);
        for (const QString& field : {probe.FilmID, probe.FilmName, probe.Playactor, probe.Type, probe.Class1,
                                     probe.Class2, probe.StgDate, probe.Remark})
            QCOMPARE(field, value);

        QVERIFY(typed.Update(decoyId));
        CFilmInfo changed;
        changed.LoadById(decoyId);
        for (const QString& field : {changed.FilmID, changed.FilmName, changed.Playactor, changed.Type,
                                     changed.Class1, changed.Class2, changed.StgDate, changed.Remark})
            QCOMPARE(field, value);
        QCOMPARE(Db::Count(QStringLiteral("Film WHERE FilmID='") + near + QStringLiteral("'")), 0);
        QCOMPARE(Db::Count(QStringLiteral("Film")), 2);
        QCOMPARE(boxes.Boxes().size(), 0);
    }
};
VORIX_TEST(FilmInfoTest)
#include "tst_FilmInfo.moc"
