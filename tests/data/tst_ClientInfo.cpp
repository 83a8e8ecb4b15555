#include "RecordTest.h"
#include "Shop.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "data/CClientInfo.h"

#include <QTest>

namespace {
CClientInfo OrdinaryClient() {
    CClientInfo client;
    client.ClientID = QStringLiteral("C001");
    client.PhoneNum = QStringLiteral("13800138000");
    client.CreateDate = QStringLiteral("2005-11-20");
    client.Foregift = 50;
    client.Balance = 12.5f;
    client.Remark = QStringLiteral("老顾客");
    return client;
}
} // namespace

class ClientInfoTest : public QObject {
    Q_OBJECT
private slots:
    void statementTexts() {
        TempShop shop;
        BoxRecorder boxes;
        StatementRecorder sql;
        CClientInfo client = OrdinaryClient();
        client.Insert();
        client.Update(3);
        client.LoadById(3);
        client.ExistsByClientId(QStringLiteral("C001"));
        client.LoadByClientId(QStringLiteral("C001"));
        client.DeleteById(3);
        QCOMPARE(sql.Statements(),
                 QStringList({QStringLiteral(
                                  "INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) "
                                  "VALUES('C001','13800138000','2005-11-20',50.000000,12.500000,'老顾客')"),
                              QStringLiteral("UPDATE Client SET ClientID='C001',PhoneNum='13800138000', "
                                             "CreateDate='2005-11-20', Foregift=50.000000, Balance=12.500000,"
                                             "Remark='老顾客' WHERE ID=3"),
                              QStringLiteral("SELECT * FROM Client WHERE ID=3"),
                              QStringLiteral("SELECT * FROM Client WHERE ClientID='C001'"),
                              QStringLiteral("SELECT * FROM Client WHERE ClientID='C001'"),
                              QStringLiteral("DELETE FROM Client WHERE ID=3")}));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void insertLoadUpdateDelete() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(OrdinaryClient().Insert());

        CClientInfo byNumber;
        byNumber.LoadByClientId(QStringLiteral("C001"));
        QCOMPARE(byNumber.ID, 1);
        QCOMPARE(byNumber.PhoneNum, QStringLiteral("13800138000"));
        QCOMPARE(byNumber.CreateDate, QStringLiteral("2005-11-20"));
        QCOMPARE(byNumber.Foregift, 50.0f);
        QCOMPARE(byNumber.Balance, 12.5f);
        QCOMPARE(byNumber.Remark, QStringLiteral("老顾客"));

        CClientInfo byKey;
        byKey.ID = 42;
        byKey.LoadById(1);
        QCOMPARE(byKey.ID, 42); // the key is not read
        QCOMPARE(byKey.ClientID, QStringLiteral("C001"));
        QCOMPARE(byKey.Balance, 12.5f);

        // Every column is rewritten, the client number included.
        CClientInfo changed;
        changed.ClientID = QStringLiteral("C002");
        changed.PhoneNum = QStringLiteral("010-1234");
        changed.CreateDate = QStringLiteral("2006-01-02");
        changed.Foregift = 0.1f;
        changed.Balance = -3;
        changed.Remark = QString();
        QVERIFY(changed.Update(1));
        CClientInfo after;
        after.LoadById(1);
        QCOMPARE(after.ClientID, QStringLiteral("C002"));
        QCOMPARE(after.PhoneNum, QStringLiteral("010-1234"));
        QCOMPARE(after.CreateDate, QStringLiteral("2006-01-02"));
        QCOMPARE(after.Foregift, 0.1f);
        QCOMPARE(after.Balance, -3.0f);
        QCOMPARE(after.Remark, QString());
        QCOMPARE(after.ExistsByClientId(QStringLiteral("C001")), Lookup::Missing);

        QVERIFY(after.DeleteById(1));
        QCOMPARE(Db::Count(QStringLiteral("Client")), 0);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void loadsOfNoRowLeaveTheRecord() {
        TempShop shop;
        OrdinaryClient().Insert();
        CClientInfo client;
        client.ID = 7;
        client.Remark = QStringLiteral("keep");
        client.Balance = 9;
        client.LoadById(99);
        client.LoadByClientId(QStringLiteral("C999"));
        QCOMPARE(client.ID, 7);
        QCOMPARE(client.Remark, QStringLiteral("keep"));
        QCOMPARE(client.Balance, 9.0f);
        QCOMPARE(client.ClientID, QString());
    }

    void existenceWithNoneOneAndSeveralRows() {
        TempShop shop;
        CClientInfo probe;
        QCOMPARE(probe.ExistsByClientId(QStringLiteral("C001")), Lookup::Missing);
        QCOMPARE(probe.ExistsByClientId(QString()), Lookup::Missing);
        CClientInfo first = OrdinaryClient();
        first.Insert();
        QCOMPARE(probe.ExistsByClientId(QStringLiteral("C001")), Lookup::Found);
        QCOMPARE(probe.ExistsByClientId(QStringLiteral("c001")),
                 Lookup::Found); // the column ignores letter case
        QCOMPARE(probe.ExistsByClientId(QString()), Lookup::Missing);

        CClientInfo second = OrdinaryClient();
        second.Remark = QStringLiteral("second");
        second.Insert();
        QCOMPARE(probe.ExistsByClientId(QStringLiteral("C001")), Lookup::Found);
        probe.LoadByClientId(QStringLiteral("C001"));
        QCOMPARE(probe.ID, 1); // the first row the database returns
        QCOMPARE(probe.Remark, QStringLiteral("老顾客"));
    }

    void realsAndTextThatIsNoNumber() {
        TempShop shop;
        CClientInfo client = OrdinaryClient();
        client.Foregift = 0.1f;
        QVERIFY(client.Insert());
        QCOMPARE(Db::Value(QStringLiteral("SELECT Foregift||'/'||Balance AS v FROM Client")),
                 QStringLiteral("0.1/12.5"));

        if (TestEngine::OnServer())
            return; // the server takes no text for a number
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Client SET Foregift='abc', Balance='x1'")));
        CClientInfo read;
        read.Foregift = 5;
        read.LoadById(1);
        QCOMPARE(read.Foregift, 0.0f);
        QCOMPARE(read.Balance, 0.0f);
    }

    void hostileTextsAreStoredAndMatchedAsTyped_data() { AddHostileTexts(); }
    void hostileTextsAreStoredAndMatchedAsTyped() {
        QFETCH(QString, value);
        QFETCH(QString, near);
        TempShop shop;
        BoxRecorder boxes;
        CClientInfo decoy = OrdinaryClient();
        decoy.ClientID = near;
        const int decoyId = Added(decoy, QStringLiteral("Client"));
        CClientInfo probe;
        QCOMPARE(probe.ExistsByClientId(value), Lookup::Missing);

        CClientInfo typed = OrdinaryClient();
        typed.ClientID = typed.PhoneNum = typed.CreateDate = typed.Remark = value;
        const int id = Added(typed, QStringLiteral("Client"));
        QVERIFY(id > 0);
        QCOMPARE(probe.ExistsByClientId(value), Lookup::Found);
        probe.LoadByClientId(value);
        QCOMPARE(probe.ID, id);
        QCOMPARE(probe.ClientID, value);
        QCOMPARE(probe.PhoneNum, value);
        QCOMPARE(probe.CreateDate, value);
        QCOMPARE(probe.Remark, value);

        // The update rewrites the decoy's texts with the hostile value and touches no other row.
        QVERIFY(typed.Update(decoyId));
        CClientInfo changed;
        changed.LoadById(decoyId);
        QCOMPARE(changed.ClientID, value);
        QCOMPARE(changed.Remark, value);
        QCOMPARE(Db::Count(QStringLiteral("Client WHERE ClientID='") + near + QStringLiteral("'")), 0);
        QCOMPARE(Db::Count(QStringLiteral("Client")), 2);
        QCOMPARE(boxes.Boxes().size(), 0);
    }
};
VORIX_TEST(ClientInfoTest)
#include "tst_ClientInfo.moc"
