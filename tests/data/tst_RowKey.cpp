#include "Shop.h"
#include "TestRegistry.h"

#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/COperatorInfo.h"
#include "data/CRentInfo.h"
#include "data/RowKey.h"

#include <QTest>

namespace {
const QString kMark = QStringLiteral("改过");

QString Ids(const QString& fromWhere) {
    return Db::Value(QStringLiteral("SELECT group_concat(ID) AS v FROM (SELECT ID FROM ") + fromWhere +
                     QStringLiteral(" ORDER BY ID)"));
}

// The load finds row 1 or nothing, and leaves the record as it was when it finds nothing.
template <class Record>
void ExpectLoad(RowKey key, bool findsRow, const QString& table, QString Record::*field,
                const QString& column) {
    const QString first = Db::Value(QStringLiteral("SELECT ") + column + QStringLiteral(" AS v FROM ") +
                                    table + QStringLiteral(" WHERE ID=1"));
    Record record;
    record.*field = QStringLiteral("keep");
    QCOMPARE(record.LoadById(key), findsRow ? Lookup::Found : Lookup::Missing);
    QCOMPARE(record.*field, findsRow ? first : QStringLiteral("keep"));
}

// The update and the delete run, and touch row 1 or no row at all.
template <class Record>
void ExpectWrites(RowKey key, bool findsRow, const QString& table, QString Record::*field,
                  const QString& column) {
    Record record;
    record.*field = kMark;
    QVERIFY(record.Update(key));
    QCOMPARE(
        Ids(table + QStringLiteral(" WHERE ") + column + QStringLiteral("='") + kMark + QStringLiteral("'")),
        findsRow ? QStringLiteral("1") : QString());
    QVERIFY(record.DeleteById(key));
    QCOMPARE(Ids(table), findsRow ? QStringLiteral("2") : QStringLiteral("1,2"));
}
} // namespace

// Keys as a grid cell or a typed field brings them: only a whole number addresses a row, and other
// text reaches no statement.
class RowKeyTest : public QObject {
    Q_OBJECT
private slots:
    void textKeys_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isKey");
        QTest::addColumn<bool>("findsRow"); // row 1 of each table
        QTest::newRow("one") << "1" << true << true;
        QTest::newRow("leading zero") << "01" << true << true;
        QTest::newRow("negative") << "-1" << true << false;
        QTest::newRow("largest") << "9223372036854775807" << true << false;
        QTest::newRow("out of range") << "9223372036854775808" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("blanks") << "   " << false << false;
        QTest::newRow("leading blank") << " 1" << false << false;
        QTest::newRow("trailing blank") << "1 " << false << false;
        QTest::newRow("two numbers") << "1 2" << false << false;
        QTest::newRow("second statement") << "1;DROP TABLE Client" << false << false;
        QTest::newRow("always true") << "1 OR 1=1" << false << false;
        QTest::newRow("word") << "abc" << false << false;
        QTest::newRow("fraction") << "1.5" << false << false;
        QTest::newRow("exponent") << "1e0" << false << false;
        QTest::newRow("plus sign") << "+1" << false << false;
        QTest::newRow("sign alone") << "-" << false << false;
        QTest::newRow("hexadecimal") << "0x1" << false << false;
        QTest::newRow("wide digit") << "１" << false << false;
    }
    void textKeys() {
        QFETCH(QString, text);
        QFETCH(bool, isKey);
        QFETCH(bool, findsRow);
        const RowKey key = RowKey::FromText(text);
        QCOMPARE(key.IsValid(), isKey);

        TempShop shop;
        BoxRecorder boxes;
        // Two rows in each table; the prepared administrator is operator 1.
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Client (ClientID,Remark) VALUES('C1','一'),('C2','二')")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,Remark) VALUES('F1','一'),('F2','二')")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd) VALUES('李四','二')")));
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Record (FilmID,OptUser) VALUES('F1','一'),('F2','二')")));

        ExpectLoad(key, findsRow, QStringLiteral("Client"), &CClientInfo::Remark, QStringLiteral("Remark"));
        ExpectLoad(key, findsRow, QStringLiteral("Film"), &CFilmInfo::Remark, QStringLiteral("Remark"));
        ExpectLoad(key, findsRow, QStringLiteral("Operator"), &COperatorInfo::OptName,
                   QStringLiteral("OptName"));
        ExpectWrites(key, findsRow, QStringLiteral("Client"), &CClientInfo::Remark, QStringLiteral("Remark"));
        ExpectWrites(key, findsRow, QStringLiteral("Film"), &CFilmInfo::Remark, QStringLiteral("Remark"));
        ExpectWrites(key, findsRow, QStringLiteral("Operator"), &COperatorInfo::OptPwd,
                     QStringLiteral("OptPwd"));
        ExpectWrites(key, findsRow, QStringLiteral("Record"), &CRentInfo::OptUser, QStringLiteral("OptUser"));
        QCOMPARE(boxes.Boxes().size(), 0);
    }
};
VORIX_TEST_ON_FILE_ONLY(RowKeyTest)
#include "tst_RowKey.moc"
