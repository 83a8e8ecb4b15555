#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "manage/CClientEditDlg.h"
#include "toolkit/DataExchange.h"
#include "ui_CClientEditDlg.h"

#include <QTest>

namespace {
const QDate kToday(2026, 12, 7);

struct ClientShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;
    FixedClock clock{QDateTime(kToday, QTime(15, 30))};
    explicit ClientShop(const QString& type = QStringLiteral("管理员"))
        : user(QStringLiteral("someone"), type) {}
    // A client as another program may have written it; its row key as text.
    static QString Add(const QString& number, const QString& date = QStringLiteral("2005-11-20"),
                       double balance = 12.5) {
        Db::Exec(QStringLiteral("INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) "
                                "VALUES('%1','13800138000','%2',50,%3,'老顾客')")
                     .arg(number, date)
                     .arg(balance, 0, 'f', 6));
        return Db::Value(QStringLiteral("SELECT max(ID) AS v FROM Client"));
    }
    static QString Rows() {
        return Db::Rows(QStringLiteral("SELECT ID, ClientID, PhoneNum, CreateDate, Foregift, Balance, Remark "
                                       "FROM Client ORDER BY ID"),
                        QLatin1Char('|'), QLatin1Char(','));
    }
};

struct Editor {
    CClientEditDlg dlg;
    bool opened;
    explicit Editor(const QString& id = QString()) {
        dlg.m_strID = id;
        dlg.show();
        opened = dlg.OnInitDialog();
    }
    Ui::CClientEditDlg& f() { return *dlg.Form(); }
    QLineEdit* Field(const QString& name) { return dlg.findChild<QLineEdit*>(name); }
    void Set(const QString& field, const QString& text) {
        if (field == QLatin1String("remarkEdit"))
            return f().remarkEdit->setPlainText(text);
        Field(field)->clear();
        Field(field)->setText(text); // as pasted: the exchange, not typing, must refuse it
    }
    QString Text(const QString& field) {
        return field == QLatin1String("remarkEdit") ? f().remarkEdit->toPlainText() : Field(field)->text();
    }
    QStringList Shown() {
        return {f().clientEdit->text(),   f().phoneEdit->text(),   f().dateEdit->date().toString(Qt::ISODate),
                f().foregiftEdit->text(), f().balanceEdit->text(), f().remarkEdit->toPlainText()};
    }
    void Press() { QTest::mouseClick(f().okButton, Qt::LeftButton); }
    bool Saved() const { return dlg.IsEnded() && dlg.Result() == IDOK; }
};

void ExpectPrompt(const BoxRecorder& boxes, const char* text) {
    QCOMPARE(boxes.Texts(), Texts({text}));
    QCOMPARE(boxes.Boxes().first().caption, QStringLiteral("提示"));
    QCOMPARE(boxes.Boxes().first().icon, MsgIcon::Warning);
}
} // namespace

class ClientEditDlgTest : public QObject {
    Q_OBJECT
private slots:
    void newClientStartsWithDefaultsAndIsAdded() {
        ClientShop shop(QStringLiteral("操作员")); // anyone may add
        Editor e;
        QCOMPARE(e.dlg.windowTitle(), QStringLiteral("编辑客户信息"));
        QCOMPARE(e.Shown(), Texts({"", "", "2026-12-07", "50", "50", ""}));
        QVERIFY(e.f().okButton->isEnabled());
        TypeText(e.f().clientEdit, QStringLiteral("张三"));
        TypeText(e.f().phoneEdit, QStringLiteral("555"));
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(ClientShop::Rows(), QStringLiteral("1|张三|555|2026-12-07|50.0|50.0|"));
    }

    void existingClientIsShownAndTopUpStoredAsTyped() {
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C7"), QStringLiteral("2005-11-20"), 12.345678);
        Editor e(id);
        QVERIFY(e.opened);
        QCOMPARE(e.Shown(), Texts({"C7", "13800138000", "2005-11-20", "50", "12.3457", "老顾客"}));
        QCOMPARE(e.dlg.m_tmCreateDate, QDateTime(QDate(2005, 11, 20), QTime(0, 0)));
        e.Set(QStringLiteral("balanceEdit"), QStringLiteral("12.5"));
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(ClientShop::Rows(), id + QStringLiteral("|C7|13800138000|2005-11-20|50.0|12.5|老顾客"));
        Editor again(id); // a float has no 1234.56; the file holds the decimal that was typed
        again.Set(QStringLiteral("balanceEdit"), QStringLiteral("1234.56"));
        again.Press();
        QCOMPARE(Db::Value(QStringLiteral("SELECT Balance AS v FROM Client")), QStringLiteral("1234.56"));
    }

    // The exchange runs date, deposit, number, phone, balance, remark: the first bad field is
    // named, gets the focus, keeps its text, and nothing is written.
    void badFieldsRefusedInExchangeOrder_data() {
        QTest::addColumn<QStringList>("fieldsAndTexts");
        QTest::addColumn<QString>("prompt");
        const QString number = CDataExchange::NumberPrompt();
        const QString range = CDataExchange::RealRangePrompt(0, 9999);
        const QString tooLong = CDataExchange::TooLongPrompt(20);
        const QString a21(21, QLatin1Char('a'));
        QTest::newRow("empty deposit") << Texts({"foregiftEdit", ""}) << number;
        QTest::newRow("negative deposit") << Texts({"foregiftEdit", "-1", "clientEdit", ""}) << range;
        QTest::newRow("deposit 10000") << Texts({"foregiftEdit", "10000"}) << range;
        QTest::newRow("two points") << Texts({"balanceEdit", "12.5.1"}) << number;
        QTest::newRow("nan") << Texts({"balanceEdit", "nan"}) << number;
        QTest::newRow("deposit before number")
            << QStringList{QStringLiteral("foregiftEdit"), QStringLiteral("x"), QStringLiteral("clientEdit"),
                           a21}
            << number;
        QTest::newRow("number 21 bytes") << QStringList{QStringLiteral("clientEdit"), a21} << tooLong;
        QTest::newRow("number 11 Chinese")
            << QStringList{QStringLiteral("clientEdit"), QString(11, QChar(0x5F71))} << tooLong;
        QTest::newRow("number before balance")
            << QStringList{QStringLiteral("clientEdit"), a21, QStringLiteral("balanceEdit"),
                           QStringLiteral("-1")}
            << tooLong;
        QTest::newRow("phone 10 Chinese and a digit")
            << QStringList{QStringLiteral("phoneEdit"), QString(10, QChar(0x5F71)) + QLatin1Char('1')}
            << tooLong;
        QTest::newRow("phone before balance") << Texts({"phoneEdit", "1😀", "balanceEdit", "x"})
                                              << CDataExchange::UnencodablePrompt(QStringLiteral("😀"));
        QTest::newRow("remark with emoji")
            << Texts({"remarkEdit", "b😀c"}) << CDataExchange::UnencodablePrompt(QStringLiteral("😀"));
        QTest::newRow("remark ending in emoji")
            << Texts({"remarkEdit", "bc😀"}) << CDataExchange::UnencodablePrompt(QStringLiteral("😀"));
    }
    void badFieldsRefusedInExchangeOrder() {
        QFETCH(QStringList, fieldsAndTexts);
        QFETCH(QString, prompt);
        ClientShop shop;
        const QString before = ClientShop::Rows();
        Editor e;
        QVERIFY(QTest::qWaitForWindowActive(&e.dlg));
        e.Set(QStringLiteral("clientEdit"), QStringLiteral("C9"));
        for (int i = 0; i < fieldsAndTexts.size(); i += 2)
            e.Set(fieldsAndTexts[i], fieldsAndTexts[i + 1]);
        e.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{prompt});
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(QApplication::focusWidget()->objectName(), fieldsAndTexts[0]);
        QCOMPARE(e.Text(fieldsAndTexts[0]), fieldsAndTexts[1]);
        QCOMPARE(ClientShop::Rows(), before);
    }

    // Typing cannot overfill the remark, but a longer one written by another program can be there.
    void storedRemarkOverLimitIsRefused() {
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C1"));
        QVERIFY(
            Db::Exec(QStringLiteral("UPDATE Client SET Remark='%1'").arg(QString(101, QLatin1Char('r')))));
        const QString before = ClientShop::Rows();
        Editor e(id);
        QVERIFY(QTest::qWaitForWindowActive(&e.dlg));
        e.Set(QStringLiteral("balanceEdit"), QStringLiteral("80"));
        e.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{CDataExchange::TooLongPrompt(100)});
        QCOMPARE(QApplication::focusWidget(), e.f().remarkEdit);
        QCOMPARE(ClientShop::Rows(), before);
    }

    void limitsAccepted_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // the row as the test reads it back
        QTest::newRow("number 20 bytes")
            << "clientEdit" << QString(20, QLatin1Char('a'))
            << QString(20, QLatin1Char('a')) + QStringLiteral("||2026-12-07|50.0|50.0|");
        QTest::newRow("phone 10 Chinese")
            << "phoneEdit" << QString(10, QChar(0x5F71))
            << QStringLiteral("C9|") + QString(10, QChar(0x5F71)) + QStringLiteral("|2026-12-07|50.0|50.0|");
        QTest::newRow("remark 100 bytes, more cut off")
            << "remarkEdit" << QString(51, QChar(0x5F71))
            << QStringLiteral("C9||2026-12-07|50.0|50.0|") + QString(50, QChar(0x5F71));
        QTest::newRow("exponent") << "balanceEdit"
                                  << "1e3"
                                  << "C9||2026-12-07|50.0|1000.0|";
        QTest::newRow("bounds") << "foregiftEdit"
                                << " 9999 "
                                << "C9||2026-12-07|9999.0|50.0|";
    }
    void limitsAccepted() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        ClientShop shop;
        Editor e;
        e.Set(QStringLiteral("clientEdit"), QStringLiteral("C9"));
        e.Set(field, text);
        e.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(e.Saved());
        QCOMPARE(ClientShop::Rows(), QStringLiteral("1|") + stored);
    }

    void numberIsRequired() {
        ClientShop shop;
        Editor e;
        e.Set(QStringLiteral("phoneEdit"), QStringLiteral("555"));
        e.Press();
        ExpectPrompt(shop.boxes, "请填写必要信息!");
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(e.f().phoneEdit->text(), QStringLiteral("555"));
        QCOMPARE(Db::Count(QStringLiteral("Client")), 0);
    }

    void takenNumberRefused_data() {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("number");
        QTest::newRow("add same") << false << "C1";
        QTest::newRow("add other case") << false << "c1";
        QTest::newRow("change to taken") << true << "C1";
        QTest::newRow("change to other case") << true << "c1";
        QTest::newRow("quote") << false << "A'B";
    }
    void takenNumberRefused() {
        QFETCH(bool, existing);
        QFETCH(QString, number);
        ClientShop shop;
        ClientShop::Add(QStringLiteral("C1"));
        ClientShop::Add(QStringLiteral("a''b"));
        const QString other = ClientShop::Add(QStringLiteral("C2"));
        const QString before = ClientShop::Rows();
        Editor e(existing ? other : QString());
        e.Set(QStringLiteral("clientEdit"), number);
        e.Press();
        ExpectPrompt(shop.boxes, "客户编号重复,请重新输入!");
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(e.f().clientEdit->text(), number);
        QCOMPARE(ClientShop::Rows(), before);
    }

    void keptNumberIsNotLookedUpAndChangedOneIsSaved() {
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C1"));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Record (ClientID,FilmID) VALUES('C1','V1')")));
        {
            Editor e(id);
            e.Set(QStringLiteral("phoneEdit"), QStringLiteral("666"));
            StatementRecorder sql;
            e.Press();
            QVERIFY(e.Saved());
            // The row read again by its key under the write lock, then written; its search keys
            // written anew beside it, and the trail's row of the change.
            QCOMPARE(sql.Statements().size(), 5);
            QCOMPARE(sql.Statements().first(), QStringLiteral("SELECT * FROM Client WHERE ID=") + id);
            QVERIFY(sql.Statements().at(1).startsWith(QStringLiteral("UPDATE Client")));
            QCOMPARE(sql.Statements().at(2), QStringLiteral("DELETE FROM ClientKey WHERE Client=") + id);
            QVERIFY(sql.Statements().at(3).startsWith(QStringLiteral("INSERT INTO ClientKey")));
            QVERIFY(sql.Statements().at(4).startsWith(QStringLiteral("INSERT INTO AuditTrail")));
        }
        Editor e(id);
        e.Set(QStringLiteral("clientEdit"), QStringLiteral("C5"));
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(ClientShop::Rows(), id + QStringLiteral("|C5|666|2005-11-20|50.0|12.5|老顾客"));
        QCOMPARE(Db::Value(QStringLiteral("SELECT ClientID AS v FROM Record")), QStringLiteral("C1"));
    }

    // Every field another desk changed while the form was open is named with its value now, in the
    // form's order; the form shows them, writes nothing, and saves when confirmed again.
    void rowChangedElsewhereIsShownNotOverwritten() {
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C1"));
        Editor e(id);
        QVERIFY(QTest::qWaitForWindowActive(&e.dlg));
        QVERIFY(
            Db::Exec(QStringLiteral("UPDATE Client SET ClientID='c1', PhoneNum='', CreateDate='2006-01-02', "
                                    "Foregift=60, Balance=2.3, Remark='新'")));
        const QString changed = ClientShop::Rows();
        e.Set(QStringLiteral("remarkEdit"), QStringLiteral("我写的"));
        e.Press();
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{QStringLiteral("保存前该客户的资料已在别处被修改: 编号 现为“c1”,电话 现为空,"
                                            "日期 现为“2006-01-02”,押金 现为 60.00 元,余款 现为 2.30 元,"
                                            "备注 现为“新”。已重新读入,请核对后再保存。")});
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(e.Shown(), Texts({"c1", "", "2006-01-02", "60", "2.3", "新"}));
        QCOMPARE(QApplication::focusWidget(), e.f().clientEdit);
        QCOMPARE(ClientShop::Rows(), changed);
        shop.boxes.Clear();
        e.Set(QStringLiteral("phoneEdit"), QStringLiteral("777"));
        e.Press(); // the number is its own again: no "taken" for c1
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(e.Saved());
        QCOMPARE(ClientShop::Rows(), id + QStringLiteral("|c1|777|2006-01-02|60.0|2.3|新"));
        QCOMPARE(Db::Count(QStringLiteral("Ledger")), 0); // the other desk's change is not this one's
    }

    // A client deleted at another desk while the form was open is not saved into nothing.
    void clientDeletedElsewhereIsNotSaved() {
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C1"));
        Editor e(id);
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Client")));
        e.Set(QStringLiteral("balanceEdit"), QStringLiteral("80"));
        e.Press();
        ExpectPrompt(shop.boxes, "找不到这位客户,可能已被删除。");
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(ClientShop::Rows(), QString());
        QCOMPARE(Db::Count(QStringLiteral("Ledger")), 0);
    }

    void operatorReadsButCannotChange() {
        ClientShop shop(QStringLiteral("管理员 "));
        const QString id = ClientShop::Add(QStringLiteral("C1"));
        const QString before = ClientShop::Rows();
        Editor e(id);
        QCOMPARE(e.f().clientEdit->text(), QStringLiteral("C1"));
        QVERIFY(!e.f().okButton->isEnabled());
        e.Set(QStringLiteral("balanceEdit"), QStringLiteral("999"));
        QTest::keyClick(e.f().balanceEdit, Qt::Key_Return);
        QTest::keyClick(e.f().remarkEdit, Qt::Key_Return);
        e.dlg.OnOK();
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(ClientShop::Rows(), before);
    }

    void enterInRemarkConfirms() {
        ClientShop shop;
        Editor e;
        e.Set(QStringLiteral("clientEdit"), QStringLiteral("C9"));
        QTest::keyClick(e.f().remarkEdit, Qt::Key_Return);
        QVERIFY(e.Saved());
        QCOMPARE(e.f().remarkEdit->toPlainText(), QString());
    }

    void failedWriteKeepsTheFormOpen_data() {
        QTest::addColumn<bool>("existing");
        QTest::newRow("insert") << false;
        QTest::newRow("update") << true;
    }
    void failedWriteKeepsTheFormOpen() {
        QFETCH(bool, existing);
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C1"));
        QVERIFY(Db::FailOn("INSERT", "Client", "x"));
        QVERIFY(Db::FailOn("UPDATE", "Client", "x"));
        const QString before = ClientShop::Rows();
        Editor e(existing ? id : QString());
        e.Set(QStringLiteral("clientEdit"), QStringLiteral("C9"));
        e.Press();
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        QVERIFY(shop.boxes.Texts().first().endsWith(QLatin1Char('x')));
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(e.f().clientEdit->text(), QStringLiteral("C9"));
        QCOMPARE(ClientShop::Rows(), before);
    }

    // The engine's message is the only box: no "not found", no "duplicate" after it.
    void failedReadStopsQuietly() {
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C1"));
        Editor adding;
        QVERIFY(Db::Exec(QStringLiteral("ALTER TABLE Client RENAME TO Gone")));
        adding.Set(QStringLiteral("clientEdit"), QStringLiteral("C1"));
        adding.Press();
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{EngineText("no such table: Client", "relation \"client\" does not exist")});
        QVERIFY(!adding.dlg.IsEnded());
        shop.boxes.Clear();
        CClientEditDlg changing;
        changing.m_strID = id;
        QCOMPARE(changing.DoModal(), int(IDCANCEL));
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{EngineText("no such table: Client", "relation \"client\" does not exist")});
    }

    void missingClientDoesNotOpen_data() {
        QTest::addColumn<QString>("id");
        QTest::newRow("deleted") << "99";
        QTest::newRow("no key") << "1 OR 1=1";
    }
    void missingClientDoesNotOpen() {
        QFETCH(QString, id);
        ClientShop shop;
        ClientShop::Add(QStringLiteral("C1"));
        bool ran = false;
        ModalScript script([&](CDialog&) { ran = true; });
        CClientEditDlg dlg;
        dlg.m_strID = id;
        QCOMPARE(dlg.DoModal(), int(IDCANCEL));
        QVERIFY(!ran);
        ExpectPrompt(shop.boxes, "找不到这位客户,可能已被删除。");
    }

    // A stored date the program did not write shows, and saves, as today.
    void unreadableDateShowsToday_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << QString();
        for (const char* date : {"2005/11/20", "2005-1-20", "2005-11-2", "2005-11-201", "2005-13-01",
                                 "2024-02-30", "1700-01-01", "2005-11-2x"})
            QTest::newRow(date) << QString::fromUtf8(date);
    }
    void unreadableDateShowsToday() {
        QFETCH(QString, stored);
        ClientShop shop;
        const QString id = ClientShop::Add(QStringLiteral("C1"), stored);
        Editor e(id);
        QVERIFY(e.opened);
        QCOMPARE(e.f().dateEdit->date(), kToday);
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(Db::Value(QStringLiteral("SELECT CreateDate AS v FROM Client")),
                 QStringLiteral("2026-12-07"));
    }

    void quotesStoredAsTyped() {
        ClientShop shop;
        Editor e;
        e.Set(QStringLiteral("clientEdit"), QStringLiteral("O'Neil"));
        e.Set(QStringLiteral("phoneEdit"), QStringLiteral("1','2"));
        e.Set(QStringLiteral("remarkEdit"), QStringLiteral("it's'); DROP TABLE Client;--"));
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(ClientShop::Rows(),
                 QStringLiteral("1|O'Neil|1','2|2026-12-07|50.0|50.0|it's'); DROP TABLE Client;--"));
        Editor again(QStringLiteral("1"));
        QCOMPARE(again.Shown()[0], QStringLiteral("O'Neil"));
    }
};
VORIX_TEST(ClientEditDlgTest)
#include "tst_ClientEditDlg.moc"
