#include "Shop.h"
#include "TestRegistry.h"

#include "data/COperatorInfo.h"

#include <QTest>

class OperatorInfoTest : public QObject {
    Q_OBJECT
private slots:
    void statementTexts() {
        TempShop shop;
        BoxRecorder boxes;
        StatementRecorder sql;
        COperatorInfo op;
        op.OptName = QStringLiteral("zhang");
        op.OptPwd = QStringLiteral("pw");
        op.Type = QStringLiteral("操作员");
        op.Insert();
        op.Update(2);
        op.LoadById(2);
        op.ExistsByOptName(QStringLiteral("zhang"));
        op.LoadByOptName(QStringLiteral("zhang"));
        op.DeleteById(2);
        QCOMPARE(
            sql.Statements(),
            QStringList(
                {QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('zhang','pw','操作员')"),
                 QStringLiteral("UPDATE Operator SET OptName='zhang',OptPwd='pw', Type='操作员' WHERE ID=2"),
                 QStringLiteral("SELECT * FROM Operator WHERE ID=2"),
                 QStringLiteral("SELECT * FROM Operator WHERE OptName='zhang'"),
                 QStringLiteral("SELECT * FROM Operator WHERE OptName='zhang'"),
                 QStringLiteral("DELETE FROM Operator WHERE ID=2")}));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void insertLoadUpdateDelete() {
        TempShop shop;
        BoxRecorder boxes;
        COperatorInfo added;
        added.OptName = QStringLiteral("李四");
        added.OptPwd = QStringLiteral("Pa'ss");
        added.Type = QStringLiteral("操作员");
        QVERIFY(added.Insert());

        COperatorInfo byName;
        QCOMPARE(byName.ExistsByOptName(QStringLiteral("李四")), Lookup::Found);
        byName.LoadByOptName(QStringLiteral("李四"));
        QVERIFY(byName.ID > 1);
        QCOMPARE(byName.OptPwd, QStringLiteral("Pa'ss"));
        const int id = byName.ID;

        COperatorInfo byId;
        byId.LoadById(id);
        QCOMPARE(byId.ID, 0); // the key is not read
        QCOMPARE(byId.OptName, QStringLiteral("李四"));
        QCOMPARE(byId.Type, QStringLiteral("操作员"));

        byId.OptPwd = QStringLiteral("new");
        byId.OptName = QStringLiteral("王五");
        QVERIFY(byId.Update(id));
        COperatorInfo changed;
        changed.LoadById(id);
        QCOMPARE(changed.OptName, QStringLiteral("王五"));
        QCOMPARE(changed.OptPwd, QStringLiteral("new"));
        QCOMPARE(changed.ExistsByOptName(QStringLiteral("李四")), Lookup::Missing);

        QVERIFY(changed.DeleteById(id));
        QCOMPARE(changed.ExistsByOptName(QStringLiteral("王五")), Lookup::Missing);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void loadsOfNoRowLeaveTheRecord() {
        TempShop shop;
        COperatorInfo op;
        op.ID = 77;
        op.OptName = QStringLiteral("keep");
        op.LoadByOptName(QStringLiteral("nobody"));
        op.LoadById(999);
        QCOMPARE(op.ID, 77);
        QCOMPARE(op.OptName, QStringLiteral("keep"));
        QCOMPARE(op.OptPwd, QString());
    }

    void namesMatchWithoutLetterCase() {
        TempShop shop;
        COperatorInfo op;
        QCOMPARE(op.ExistsByOptName(QStringLiteral("admin")), Lookup::Found);
        op.LoadByOptName(QStringLiteral("ADMIN"));
        QCOMPARE(op.OptName, QStringLiteral("Admin"));
        QCOMPARE(op.ID, 1);
    }

    void hostileNamesNeverWidenAMatch_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("quote") << "O'Neil";
        QTest::newRow("always true") << "' OR ''='";
        QTest::newRow("percent") << "%";
        QTest::newRow("underscore") << "_____";
        QTest::newRow("trailing blank") << "Admin ";
        QTest::newRow("leading blank") << " Admin";
        QTest::newRow("empty") << "";
    }
    void hostileNamesNeverWidenAMatch() {
        QFETCH(QString, name);
        TempShop shop;
        BoxRecorder boxes;
        COperatorInfo op;
        QCOMPARE(op.ExistsByOptName(name), Lookup::Missing);
        op.OptName = name;
        op.OptPwd = name;
        op.Type = name;
        QVERIFY(op.Insert());
        COperatorInfo found;
        QCOMPARE(found.ExistsByOptName(name), Lookup::Found);
        found.LoadByOptName(name);
        QCOMPARE(found.OptName, name);
        QCOMPARE(found.OptPwd, name);
        QCOMPARE(found.Type, name);
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 2);
        QVERIFY(found.DeleteById(found.ID));
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 1);
        QCOMPARE(boxes.Boxes().size(), 0);
    }
};
VORIX_TEST(OperatorInfoTest)
#include "tst_OperatorInfo.moc"
