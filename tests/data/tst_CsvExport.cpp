#include "Shop.h"
#include "TestRegistry.h"

#include "data/CClientInfo.h"
#include "data/CsvExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

const QList<CsvExport::Column> kClientColumns{{1, u"编号"_s}, {2, u"电话"_s}, {5, u"余款"_s}, {6, u"备注"_s}};

void AddClients(int count) {
    QVERIFY(Db::Exec(
        u"INSERT INTO Client (ClientID, Balance) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 "
        "FROM n WHERE i<%1) SELECT 'C'||i, i FROM n"_s.arg(count)));
}
} // namespace

// A grid's rows as a CSV file: exactly, and all or nothing.
class CsvExportTest : public QObject {
    Q_OBJECT
private slots:
    void fieldsAreQuotedAsTheRfcSays_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << u"英雄"_s << u"英雄"_s;
        QTest::newRow("comma") << u"a,b"_s << u"\"a,b\""_s;
        QTest::newRow("quote") << u"他说\"好\""_s << u"\"他说\"\"好\"\"\""_s;
        QTest::newRow("newline") << u"一\n二"_s << u"\"一\n二\""_s;
        QTest::newRow("return") << u"一\r二"_s << u"\"一\r二\""_s;
        QTest::newRow("outside GBK") << u"😀"_s << u"😀"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void fieldsAreQuotedAsTheRfcSays() {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(CsvExport::Field(text), field);
    }

    void writesEveryRowUnderTheHeadings() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID, PhoneNum, Balance, Remark) VALUES "
                         "('C1', '0123', 70, '老客户,\"很好\"\n第二行😀'), ('C2', '', -2.5, '')"_s));
        const QString path = shop.Dir() + u"/客户.csv"_s;
        qint64 rows = 0;
        QString error;
        QCOMPARE(CsvExport::Write(ClientGrid::All(), kClientColumns, path, nullptr, &rows, &error),
                 CsvExport::Result::Written);
        QCOMPARE(rows, 2);
        QCOMPARE(Read(path), QByteArray("\xEF\xBB\xBF") +
                                 u"编号,电话,余款,备注\r\n"
                                 "C2,,-2.50,\r\n" // newest first, as the grid shows them
                                 "C1,0123,70.00,\"老客户,\"\"很好\"\"\n第二行😀\"\r\n"_s.toUtf8());
    }

    // Each character that needs quoting does so on its own, in a cell of the file; nothing else
    // is quoted.
    void cellsAreQuotedInTheFile_data() {
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QString>("cell");
        QTest::newRow("only a comma") << u","_s << u"\",\""_s;
        QTest::newRow("a comma inside") << u"老客户,好"_s << u"\"老客户,好\""_s;
        QTest::newRow("only a quote") << u"\""_s << u"\"\"\"\""_s;
        QTest::newRow("only a line feed") << u"\n"_s << u"\"\n\""_s;
        QTest::newRow("only a return") << u"\r"_s << u"\"\r\""_s;
        QTest::newRow("semicolon and blanks") << u" a;b "_s << u" a;b "_s;
    }
    void cellsAreQuotedInTheFile() {
        QFETCH(QString, remark);
        QFETCH(QString, cell);
        TempShop shop;
        QVERIFY(Db::Exec(
            u"INSERT INTO Client (ClientID, PhoneNum, Balance, Remark) VALUES ('C1', '', 1, '%1')"_s.arg(
                remark)));
        const QString path = shop.Dir() + u"/客户.csv"_s;
        qint64 rows = 0;
        QString error;
        QCOMPARE(CsvExport::Write(ClientGrid::All(), kClientColumns, path, nullptr, &rows, &error),
                 CsvExport::Result::Written);
        QCOMPARE(Read(path), QByteArray("\xEF\xBB\xBF") +
                                 (u"编号,电话,余款,备注\r\nC1,,1.00,"_s + cell + u"\r\n"_s).toUtf8());
    }

    // A cancel half-way or a failure leaves the earlier file of that name, and nothing beside it.
    void cancelOrFailureLeavesTheEarlierFile_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("sql");
        QTest::newRow("cancelled at the half") << true << ClientGrid::All();
        QTest::newRow("statement fails") << false << u"SELECT * FROM Gone"_s;
    }
    void cancelOrFailureLeavesTheEarlierFile() {
        QFETCH(bool, cancel);
        QFETCH(QString, sql);
        TempShop shop;
        AddClients(2500);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"客户.csv"_s);
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        QList<qint64> told;
        qint64 rows = 0;
        QString error;
        const CsvExport::Result result = CsvExport::Write(
            sql, kClientColumns, path,
            [&](qint64 count) {
                told << count;
                return !cancel || count < 1000;
            },
            &rows, &error);
        QCOMPARE(result, cancel ? CsvExport::Result::Cancelled : CsvExport::Result::Failed);
        QCOMPARE(Read(path), QByteArray("earlier"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"客户.csv"_s});
        if (cancel)
            QCOMPARE(told, (QList<qint64>{1000}));
        else
            QVERIFY(error.contains(u"Gone"_s, Qt::CaseInsensitive));
    }

    void folderThatCannotBeWrittenFails() {
        TempShop shop;
        qint64 rows = 0;
        QString error;
        QCOMPARE(CsvExport::Write(ClientGrid::All(), kClientColumns, shop.Dir() + u"/no-such-folder/a.csv"_s,
                                  nullptr, &rows, &error),
                 CsvExport::Result::Failed);
        QVERIFY(!error.isEmpty());
    }

    // A disk that fills up half-way: the file size limit makes every write past it fail as a full
    // disk does. The export stops there, says so, and leaves the earlier file as it was.
    void fullDiskLeavesTheEarlierFile() {
        TempShop shop;
        AddClients(5000);
        const QString path = shop.Dir() + u"/客户.csv"_s;
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit full = before;
        full.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
        QList<qint64> told;
        qint64 rows = 0;
        QString error;
        const CsvExport::Result result = CsvExport::Write(
            ClientGrid::All(), kClientColumns, path,
            [&](qint64 count) {
                told << count;
                return true;
            },
            &rows, &error);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldSignal);
        QCOMPARE(result, CsvExport::Result::Failed);
        QVERIFY2(error.startsWith(u"写入文件失败(磁盘可能已满)"_s), qPrintable(error));
        QVERIFY(rows < 5000); // stopped at the failure, not after every row
        QCOMPARE(Read(path), QByteArray("earlier"));
        QCOMPARE(QDir(shop.Dir()).entryList({u"*.csv*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"客户.csv"_s});
    }

    void progressIsToldEveryThousandRowsAndAtTheEnd() {
        TempShop shop;
        AddClients(2500);
        QList<qint64> told;
        qint64 rows = 0;
        QString error;
        QCOMPARE(CsvExport::Write(
                     ClientGrid::All(), kClientColumns, shop.Dir() + u"/a.csv"_s,
                     [&](qint64 count) {
                         told << count;
                         return true;
                     },
                     &rows, &error),
                 CsvExport::Result::Written);
        QCOMPARE(told, (QList<qint64>{1000, 2000, 2500}));
        QCOMPARE(Read(shop.Dir() + u"/a.csv"_s).count("\r\n"), 2501);
    }
};
VORIX_TEST(CsvExportTest)
#include "tst_CsvExport.moc"
