#include "GbkBytes.h"
#include "ImportShop.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/CLedgerInfo.h"
#include "data/CsvExport.h"
#include "data/ImportUndo.h"
#include "data/PinyinKeys.h"
#include "data/Reports.h"
#include "manage/CImportDlg.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using Import::What;

namespace {
const QString kFilmHeadings = u"编号,片名,主演,类型,分类1,分类2,入库日期,租次,备注\n"_s;
const QString kClientHeadings = u"编号,电话,开户日期,押金,余款,备注\n"_s;

// Each row as "line fate reason".
QString Fates(const Import::Plan& plan) {
    QStringList rows;
    for (const Import::PlannedRow& row : plan.rows)
        rows << u"%1 %2 %3"_s.arg(row.line).arg(Import::FateName(row.fate), row.reason).trimmed();
    return rows.join(u'\n');
}

QString Counts(const Import::Plan& plan) {
    return u"%1/%2/%3/%4"_s.arg(plan.Count(Import::Fate::New))
        .arg(plan.Count(Import::Fate::Update))
        .arg(plan.Count(Import::Fate::Skip))
        .arg(plan.Count(Import::Fate::Refused));
}

QString Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// The film and client columns as the grids show them, and so as 导出 writes them.
QList<CsvExport::Column> Columns(const QStringList& headings) {
    QList<CsvExport::Column> columns;
    for (int i = 0; i < headings.size(); ++i)
        columns.append({i + 1, headings[i]});
    return columns;
}

// The import as the window runs it: the file, the trial run, 导入.
void ImportInWindow(What what, const QString& path, bool update = false) {
    CImportDlg window(what);
    QVERIFY(window.OnInitDialog());
    QVERIFY(window.OpenFile(path));
    if (update)
        window.findChild<QRadioButton*>(u"updateRadio"_s)->setChecked(true);
    window.OnTrial();
    QVERIFY(window.HasPlan());
    window.OnImport();
}

struct Fixture {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn admin{u"Admin"_s, u"管理员"_s};
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(15, 30))};
    Fixture() {
        QVERIFY(
            Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark) "
                     "VALUES ('EX1','英雄','李连杰','DVD','动作片','大陆','2024-01-02',5,'')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) VALUES "
                         "('K1','1390000','2025-03-01',50,20,'老王')"_s));
        // Their search keys, as the editors write them.
        QVERIFY(PinyinKeys::WriteNewFilm(u"EX1"_s, u"英雄"_s, u"李连杰"_s));
        QVERIFY(PinyinKeys::WriteNewClient(u"K1"_s, u"老王"_s, u"1390000"_s));
    }
};
} // namespace

// Importing the catalogue and the customers from a spreadsheet: the trial run's fates, the one
// transaction, the ledger's imported money, and the undo.
class ImportTest : public QObject {
    Q_OBJECT
private slots:
    // What 导出 writes comes back into an empty shop as the same rows, with their search keys.
    void exportsComeBackAsTheyWere() {
        Fixture shop;
        QVERIFY(Db::Exec(
            u"INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark) VALUES "
            "('A-1','无间道','刘德华','VCD','其它片','港台','2003-05-06',9999,'一句话, \"引号\"\n第二行'),"
            "('b2','It''s','','DVD','科幻片','欧美','1999-12-31',0,'')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) VALUES "
                         "('K2','','2026-01-31',0,12.5,'张, 三'),('k3','138','2020-02-29',9999,0.1,'')"_s));
        const QString films = u"SELECT FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark "
                              "FROM Film ORDER BY FilmID"_s;
        const QString clients =
            u"SELECT ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark FROM Client ORDER BY ClientID"_s;
        const QString filmRows = Db::Rows(films, u'|', u'\n');
        const QString clientRows = Db::Rows(clients, u'|', u'\n');
        qint64 rows = 0;
        QString error;
        const QString filmFile = shop.shop.Dir() + u"/films.csv"_s;
        const QString clientFile = shop.shop.Dir() + u"/clients.csv"_s;
        QCOMPARE(CsvExport::Write(FilmGrid::All(), Columns(kFilmHeadings.trimmed().split(u',')), filmFile, {},
                                  &rows, &error),
                 CsvExport::Result::Written);
        QCOMPARE(CsvExport::Write(ClientGrid::All(), Columns(kClientHeadings.trimmed().split(u',')),
                                  clientFile, {}, &rows, &error),
                 CsvExport::Result::Written);
        QVERIFY(Db::Exec(u"DELETE FROM Film"_s) && Db::Exec(u"DELETE FROM Client"_s));

        ImportInWindow(What::Films, filmFile);
        ImportInWindow(What::Clients, clientFile);
        QCOMPARE(shop.boxes.Texts(),
                 QStringList({u"导入完成:新增 3 行,更新 0 行。"_s, u"导入完成:新增 3 行,更新 0 行。"_s}));
        QCOMPARE(Db::Rows(films, u'|', u'\n'), filmRows);
        QCOMPARE(Db::Rows(clients, u'|', u'\n'), clientRows);
        // Found by the pinyin of the title and by the phone's digits, as a film or client typed in.
        QCOMPARE(
            Db::Value(
                u"SELECT f.FilmID AS v FROM FilmKey k JOIN Film f ON f.ID=k.Film WHERE k.Pinyin='wjd'"_s),
            u"A-1"_s);
        QCOMPARE(Db::Value(u"SELECT c.ClientID AS v FROM ClientKey k JOIN Client c ON c.ID=k.Client "
                           "WHERE k.Pinyin='138'"_s),
                 u"k3"_s);
    }

    // Every row of a hostile file gets its fate and its reason; the trial run writes nothing.
    void everyRowHasItsFate_data() {
        QTest::addColumn<int>("what");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("update");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("fates");
        QTest::addColumn<QString>("counts");
        QTest::newRow("GBK, every refusal of a film")
            << int(What::Films)
            << GbkBytes(kFilmHeadings + u"A1,英雄,李连杰,dvd,动作片,大陆,2024/2/29,3,好\n"
                                        ",无名,,VCD\n"
                                        "ABCDEFGHIJKLMNOPQRSTU,x,,VCD\n"
                                        "A2,一二三四五六七八九十,,VCD\n"
                                        "A3,一二三四五六七八九十一,,VCD\n"
                                        "A4,坏日期,,VCD,,,2024-02-30\n"
                                        "A5,蓝光,,BD\n"
                                        "a1,重复,,VCD\n"
                                        "ex1,已有,,VCD\n"
                                        "A6,负数,,VCD,,,,-1\n"
                                        "A7,,,VCD\n"
                                        "A8,没有类型\n"_s)
            << false << false
            << u"2 新增\n3 拒绝 编号为空\n4 拒绝 编号太长(21 字节,最多 20 字节)\n5 新增\n"
               "6 拒绝 片名太长(22 字节,最多 20 字节)\n7 拒绝 入库日期“2024-02-30”不是日期\n"
               "8 拒绝 类型“BD”不在列表中(VCD/DVD)\n9 拒绝 编号与第 2 行的“A1”只差大小写\n"
               "10 跳过 店里已有“EX1”(大小写不同)\n11 拒绝 租次“-1”不是 0 到 9999 之间的整数\n"
               "12 拒绝 片名为空\n13 拒绝 类型为空(应为 VCD 或 DVD)"_s
            << u"2/0/1/9"_s;
        QTest::newRow("UTF-8 with a BOM, semicolons, quoted line breaks, emoji")
            << int(What::Films)
            << "\xEF\xBB\xBF" + u"片名;条码;介质;备注\n\"星球;大战\";B1;DVD;\"第一行\n第二行\"\n\n"
                                "😀;B2;DVD;\nx;B1;VCD;\n"_s.toUtf8()
            << false << false << u"2 新增\n5 拒绝 片名含有 GBK 无法保存的字符“😀”\n6 拒绝 编号与第 2 行重复"_s
            << u"1/0/0/2"_s;
        QTest::newRow("unknown lists accepted, a code in the shop updated")
            << int(What::Films) << (kFilmHeadings + u"A5,蓝光,,BD,文艺,火星\nEX1,新片名,,DVD\n"_s).toUtf8()
            << true << true << u"2 新增\n3 更新 店里已有此编号"_s << u"1/1/0/0"_s;
        QTest::newRow("clients: dates, amounts, negative balances")
            << int(What::Clients)
            << (kClientHeadings + u"K2,13800000000,2025-1-5,50,100,张三\n"
                                  "K3,,2025/13/01,0,0\n"
                                  "K4,,,50,-5\n"
                                  "K5,,,abc\n"
                                  "K6,,,10000\n"
                                  "k1,,,,\n"
                                  "K7,123456789012345678901\n"
                                  "K8,,20260101,¥12.50,9999\n"_s)
                   .toUtf8()
            << false << false
            << u"2 新增\n3 拒绝 开户日期“2025/13/01”不是日期\n4 拒绝 余款“-5”不是 0 到 9999 之间的金额\n"
               "5 拒绝 押金“abc”不是 0 到 9999 之间的金额\n6 拒绝 押金“10000”不是 0 到 9999 之间的金额\n"
               "7 跳过 店里已有“K1”(大小写不同)\n8 拒绝 电话太长(21 字节,最多 20 字节)\n9 新增"_s
            << u"2/0/1/5"_s;
        QTest::newRow("heading only")
            << int(What::Clients) << kClientHeadings.toUtf8() << false << false << QString() << u"0/0/0/0"_s;
    }
    void everyRowHasItsFate() {
        QFETCH(int, what);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, update);
        QFETCH(bool, accept);
        QFETCH(QString, fates);
        QFETCH(QString, counts);
        Fixture shop;
        const QString before = ImportShop::Everything();
        const Import::Plan plan = ImportShop::TrialOf(What(what), bytes, {update, accept});
        QCOMPARE(Fates(plan), fates);
        QCOMPARE(Counts(plan), counts);
        QCOMPARE(ImportShop::Everything(), before);
    }

    // One transaction: a cancel, or a code another desk added since the trial run, writes nothing.
    void allOrNothing() {
        Fixture shop;
        const QString before = ImportShop::Everything();
        QString file = kFilmHeadings;
        for (int i = 0; i < 700; ++i)
            file += u"N%1,片%1,,VCD\n"_s.arg(i);
        const Import::Plan plan = ImportShop::TrialOf(What::Films, file.toUtf8());
        QCOMPARE(plan.Count(Import::Fate::New), 700);
        QString refusal;
        int told = 0;
        const auto cancelLate = [&](int done, int) { return ++told < 2 || done == 0; };
        QCOMPARE(Import::Write(plan, u"f.csv"_s, u"Admin"_s, cancelLate, &refusal),
                 Import::Outcome::Cancelled);
        QVERIFY(told >= 2);
        QCOMPARE(ImportShop::Everything(), before);

        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Type) VALUES ('n650','另一台','VCD')"_s));
        const QString withIt = ImportShop::Everything();
        QCOMPARE(Import::Write(plan, u"f.csv"_s, u"Admin"_s, {}, &refusal), Import::Outcome::Refused);
        QVERIFY2(refusal.startsWith(u"编号“n650”已在店里"_s), qPrintable(refusal));
        QCOMPARE(ImportShop::Everything(), withIt);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // A client's opening money is in the ledger, marked as imported, and no sum of cash counts it.
    void importedMoneyIsNoCash() {
        Fixture shop;
        QCOMPARE(ImportShop::Imported(What::Clients, (kClientHeadings + u"K2,,,50,100.5\n"_s).toUtf8()),
                 Import::Outcome::Done);
        QCOMPARE(Db::Rows(u"SELECT Kind,Fen,ClientID,OptUser,Note FROM Ledger ORDER BY ID"_s, u' ', u'\n'),
                 u"开户押金(导入) 5000 K2 Admin 导入\n充值(导入) 10050 K2 Admin 导入"_s);
        const QDate today(2026, 12, 7);
        qint64 in = -1, out = -1;
        QVERIFY(Ledger::DayCash(today, QString(), &in, &out));
        QCOMPARE(in, 0);
        QCOMPARE(out, 0);
        const QStringList takings =
            Db::Row(Reports::Takings(today, today, Reports::Step::Day, QString())).split(u' ');
        QVERIFY2(takings.size() > 3, qPrintable(takings.join(u' ')));
        for (const QString& cash : takings.mid(takings.size() - 3))
            QCOMPARE(cash.toDouble(), 0.0);
        // The same money typed in the editor is cash: the sums do count that.
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen) VALUES "
                         "('2026-12-07 16:00:00','2026-12-07','Admin','充值',700)"_s));
        QVERIFY(Ledger::DayCash(today, QString(), &in, &out));
        QCOMPARE(in, 700);
    }

    // Undo takes back exactly what the imports wrote, the last first; not once a film is lent.
    void undoRestoresTheShop() {
        Fixture shop;
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,ClientID) VALUES "
                         "('2026-12-01 10:00:00','2026-12-01','Admin','充值',2000,'K1')"_s));
        const QString before = ImportShop::Everything();
        QString refusal;
        QCOMPARE(Import::Undo(What::Films, u"Admin"_s, &refusal), Import::Outcome::Refused);
        QCOMPARE(refusal, u"没有可以撤销的影片导入。"_s);
        const Import::Options update{true, false};
        QCOMPARE(ImportShop::Imported(What::Films,
                                      (kFilmHeadings + u"A1,甲,,VCD\nex1,新名,张三,VCD,,,,7\n"_s).toUtf8(),
                                      update),
                 Import::Outcome::Done);
        QCOMPARE(ImportShop::Imported(What::Films, (kFilmHeadings + u"A2,乙,,DVD\nA1,丙,,DVD\n"_s).toUtf8(),
                                      update),
                 Import::Outcome::Done);
        QCOMPARE(ImportShop::Imported(
                     What::Clients, (kClientHeadings + u"K2,,,10,10\nK1,,,80,5,新备注\n"_s).toUtf8(), update),
                 Import::Outcome::Done);
        QCOMPARE(Db::Value(u"SELECT FilmName AS v FROM Film WHERE FilmID='A1'"_s), u"丙"_s);
        QCOMPARE(Db::Value(u"SELECT Balance AS v FROM Client WHERE ClientID='K1'"_s).toDouble(), 5.0);
        QCOMPARE(Db::Count(u"Ledger WHERE Kind LIKE '%(导入)'"_s), 4); // K2's two, K1's deposit and balance

        for (const What what : {What::Clients, What::Films, What::Films})
            QCOMPARE(Import::Undo(what, u"Admin"_s, &refusal), Import::Outcome::Done);
        QCOMPARE(ImportShop::Everything(), before);
        QCOMPARE(Db::Count(u"ImportRun WHERE UndoneBy='Admin'"_s), 3);
        // Each import and each undo left its one row in the trail, with the file as the key.
        QCOMPARE(Db::Rows(u"SELECT Kind, ItemKey FROM AuditTrail ORDER BY ID"_s, u'|', u','),
                 u"导入|shop.csv,导入|shop.csv,导入|shop.csv,撤销导入|shop.csv,撤销导入|shop.csv,"
                 "撤销导入|shop.csv"_s);
        QCOMPARE(Db::Value(u"SELECT Detail AS v FROM AuditTrail WHERE Kind='导入' ORDER BY ID DESC"_s),
                 u"客户: 新增 1, 更新 1; 文件 shop.csv"_s);

        // Lent since: the import stays, and so does every row.
        QCOMPARE(ImportShop::Imported(What::Films, (kFilmHeadings + u"A3,丁,,VCD\n"_s).toUtf8()),
                 Import::Outcome::Done);
        QVERIFY(Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,BorrowDate,OptUser) VALUES "
                         "('K1','a3','月租','2026-12-07','Admin')"_s));
        const QString lent = ImportShop::Everything();
        QCOMPARE(Import::Undo(What::Films, u"Admin"_s, &refusal), Import::Outcome::Refused);
        QCOMPARE(refusal, u"影片“A3”在导入之后已出租过,不能撤销这次导入。"_s);
        QCOMPARE(ImportShop::Everything(), lent);
        // A client with a ledger row since keeps its import too.
        QCOMPARE(ImportShop::Imported(What::Clients, (kClientHeadings + u"K9,,,,\n"_s).toUtf8()),
                 Import::Outcome::Done);
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,ClientID) VALUES "
                         "('2026-12-07 17:00:00','2026-12-07','Admin','充值',100,'k9')"_s));
        QCOMPARE(Import::Undo(What::Clients, u"Admin"_s, &refusal), Import::Outcome::Refused);
        QCOMPARE(refusal, u"客户“K9”在导入之后已有账目,不能撤销这次导入。"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // The window: headings of other names map at once, a changed mapping is kept for the next file.
    void mappingIsMatchedAndKept() {
        Fixture shop;
        const QString path =
            Write(shop.shop.Dir() + u"/x.csv"_s, u"影片名称,条码,介质,杂项\n英雄,Z1,VCD,x\n"_s.toUtf8());
        QVERIFY(!path.isEmpty());
        {
            CImportDlg window(What::Films);
            QVERIFY(window.OnInitDialog());
            QVERIFY(window.OpenFile(path));
            QStringList shown;
            for (const QComboBox* combo : window.MappingCombos())
                shown << combo->currentText();
            QCOMPARE(shown, QStringList({u"片名"_s, u"编号"_s, u"类型"_s, u"(不导入)"_s}));
            // Tab goes from the file to the columns, in their order.
            QCOMPARE(window.findChild<QPushButton*>(u"chooseButton"_s)->nextInFocusChain(),
                     window.MappingCombos()[0]);
            Pick(window.MappingCombos()[3], u"备注"_s);
            window.OnTrial();
            QCOMPARE(window.findChild<QLabel*>(u"counts"_s)->text(),
                     u"试运行(未写入):新增 1 行,更新 0 行,跳过 0 行,拒绝 0 行。"_s);
        }
        CImportDlg again(What::Films);
        QVERIFY(again.OnInitDialog());
        QVERIFY(again.OpenFile(path));
        QCOMPARE(again.MappingCombos()[3]->currentText(), u"备注"_s);
        QCOMPARE(again.MappingCombos()[3]->accessibleName(), u"“杂项”列导入为"_s);
        QCOMPARE(Db::Count(u"Film"_s), 1); // the trial run wrote nothing
    }
};
VORIX_TEST(ImportTest)
#include "tst_Import.moc"
