#include "EngineTrace.h"
#include "Shop.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "access/CLoginDlg.h"
#include "access/Session.h"
#include "base/PasswordHash.h"
#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"
#include "ui_CLoginDlg.h"

#include <QApplication>
#include <QTest>
#include <sqlite3.h>

namespace {
// Opens the login as the program does and signs in with what a user types.
struct Login {
    CLoginDlg dlg;
    Login() {
        dlg.show();
        dlg.OnInitDialog();
    }
    void Type(const QString& name, const QString& password) {
        dlg.Form()->nameEdit->clear();
        dlg.Form()->passwordEdit->clear();
        TypeText(dlg.Form()->nameEdit, name);
        TypeText(dlg.Form()->passwordEdit, password);
    }
    void Press() { QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton); }
};

void ResetSession() {
    Session::Current().SignOut();
}
} // namespace

class LoginDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetSession(); }

    void formOpensEmptyWithFocusOnTheName() {
        TempShop shop;
        Login login;
        QCOMPARE(login.dlg.windowTitle(), QStringLiteral("用户登陆"));
        QVERIFY(login.dlg.Form()->okButton->isDefault());
        QCOMPARE(login.dlg.Form()->passwordEdit->echoMode(), QLineEdit::Password);
        QVERIFY(QTest::qWaitForWindowActive(&login.dlg));
        QCOMPARE(QApplication::focusWidget(), login.dlg.Form()->nameEdit);
    }

    void firstAdministratorLogsIn() {
        TempShop shop;
        BoxRecorder boxes;
        Login login;
        login.Type(QStringLiteral("Admin"), QStringLiteral("admin"));
        login.Press();
        QCOMPARE(boxes.Boxes().size(), 0);
        QVERIFY(login.dlg.IsEnded());
        QCOMPARE(login.dlg.Result(), int(IDOK));
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
        QCOMPARE(Session::Current().UserType(), QStringLiteral("管理员"));
        QVERIFY(Session::Current().IsAdministrator());
    }

    void refusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown name") << "nobody"
                                      << "admin"
                                      << "错误的用户名!";
        QTest::newRow("empty name") << ""
                                    << ""
                                    << "错误的用户名!";
        QTest::newRow("name with trailing blank") << "Admin "
                                                  << "admin"
                                                  << "错误的用户名!";
        QTest::newRow("quote in name") << "' OR ''='"
                                       << "admin"
                                       << "错误的用户名!";
        QTest::newRow("wildcard name") << "%"
                                       << "admin"
                                       << "错误的用户名!";
        QTest::newRow("password in other case") << "Admin"
                                                << "ADMIN"
                                                << "密码验证失败!";
        QTest::newRow("password with blank") << "Admin"
                                             << "admin "
                                             << "密码验证失败!";
        QTest::newRow("empty password") << "Admin"
                                        << ""
                                        << "密码验证失败!";
    }
    void refusals() {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, message);
        TempShop shop;
        BoxRecorder boxes;
        Login login;
        login.Type(name, password);
        login.Press();
        QCOMPARE(boxes.Boxes().size(), 1);
        const MessageRequest& box = boxes.Boxes().first();
        QCOMPARE(box.text, message);
        QCOMPARE(box.caption, QStringLiteral("提示"));
        QCOMPARE(box.icon, MsgIcon::Error);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QVERIFY(!login.dlg.IsEnded());
        QCOMPARE(Session::Current().UserName(), QString());
        // Both fields keep what was typed.
        QCOMPARE(login.dlg.Form()->nameEdit->text(), name);
        QCOMPARE(login.dlg.Form()->passwordEdit->text(), password);
    }

    // After a wrong password the next typing replaces it: the retry is the new password alone.
    void wrongPasswordIsReplacedByTheNextTyping() {
        TempShop shop;
        BoxRecorder boxes;
        Login login;
        QVERIFY(QTest::qWaitForWindowActive(&login.dlg));
        login.Type(QStringLiteral("Admin"), QStringLiteral("admni"));
        login.Press();
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("密码验证失败!")});
        QCOMPARE(QApplication::focusWidget(), login.dlg.Form()->passwordEdit);
        QTest::keyClicks(login.dlg.Form()->passwordEdit, QStringLiteral("admin"));
        QCOMPARE(login.dlg.Form()->passwordEdit->text(), QStringLiteral("admin"));
        login.Press();
        QVERIFY(login.dlg.IsEnded());
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
    }

    // The first administrator's password is stored hashed; a row another program wrote with the
    // password as typed logs in, and is stored hashed from then on.
    void passwordsAreComparedThroughTheirHash() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(PasswordHash::IsHash(Db::Value(QStringLiteral("SELECT OptPwd AS v FROM Operator"))));
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('小王','p''w','操作员')")));
        Login login;
        login.Type(QStringLiteral("小王"), QStringLiteral("p'w"));
        login.Press();
        QCOMPARE(boxes.Texts(), QStringList());
        QVERIFY(login.dlg.IsEnded());
        const QString stored =
            Db::Value(QStringLiteral("SELECT OptPwd AS v FROM Operator WHERE OptName='小王'"));
        QVERIFY(PasswordHash::IsHash(stored));
        QVERIFY(PasswordHash::Matches(stored, QStringLiteral("p'w")));
    }

    void nameInOtherCaseFindsTheStoredName() {
        TempShop shop;
        BoxRecorder boxes;
        Login login;
        login.Type(QStringLiteral("aDMIN"), QStringLiteral("admin"));
        login.Press();
        QCOMPARE(login.dlg.Result(), int(IDOK));
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
    }

    void hostileOperatorsLogInExactly() {
        TempShop shop;
        BoxRecorder boxes;
        const QString name = QStringLiteral("O'Neil_%");
        const QString password = QStringLiteral("p'w%_ ");
        QVERIFY(Db::Exec(QStringLiteral(
            "INSERT INTO Operator (OptName,OptPwd,Type) VALUES('O''Neil_%','p''w%_ ','管理员 ')")));
        Login login;
        login.Type(name, password);
        login.Press();
        QCOMPARE(boxes.Boxes().size(), 0);
        QCOMPARE(Session::Current().UserName(), name);
        // "管理员 " with a trailing blank is not an administrator.
        QCOMPARE(Session::Current().UserType(), QStringLiteral("管理员 "));
        QVERIFY(!Session::Current().IsAdministrator());
    }

    void chineseNamesAndByteLimits() {
        TempShop shop;
        BoxRecorder boxes;
        const QString tenChinese = QStringLiteral("一二三四五六七八九十"); // 20 bytes
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('") + tenChinese +
                         QStringLiteral("','密码','操作员')")));
        Login login;
        login.Type(tenChinese, QStringLiteral("密码"));
        TypeText(login.dlg.Form()->nameEdit, QStringLiteral("多"));
        QCOMPARE(login.dlg.Form()->nameEdit->text(), tenChinese); // the 21st byte is not taken
        login.Press();
        QCOMPARE(boxes.Boxes().size(), 0);
        QCOMPARE(Session::Current().UserName(), tenChinese);
        QVERIFY(!Session::Current().IsAdministrator());
    }

    void cancelLeavesTheSession() {
        TempShop shop;
        const SignedIn earlier(QStringLiteral("A"), QStringLiteral("管理员"));
        ModalScript script([](CDialog& d) {
            auto& login = static_cast<CLoginDlg&>(d);
            TypeText(login.Form()->nameEdit, QStringLiteral("Admin"));
            QTest::mouseClick(login.Form()->cancelButton, Qt::LeftButton);
        });
        CLoginDlg dlg;
        QCOMPARE(dlg.DoModal(), int(IDCANCEL));
        QCOMPARE(Session::Current().UserName(), QStringLiteral("A"));
    }

    // The engine's message is the only box: a failed read says nothing about the name.
    void missingDatabaseIsReportedAndRefused() {
        VORIX_FILE_ONLY();
        TempShop shop;
        QFile::remove(shop.DatabasePath());
        BoxRecorder boxes;
        Login login;
        login.Type(QStringLiteral("Admin"), QStringLiteral("admin"));
        login.Press();
        QCOMPARE(boxes.Texts().size(), 1);
        ExpectDescribed(boxes.Texts().first(), "无法打开数据库文件", "unable to open database file");
        QVERIFY(!login.dlg.IsEnded());
        QVERIFY(!QFile::exists(shop.DatabasePath()));
    }

    // A shop written before the rental window's indexes gets them at the first login; on a large
    // shop that takes a second or more, under the wait cursor.
    void firstOpenOfAnOlderShopShowsTheWaitCursor() {
        VORIX_FILE_ONLY();
        TempShop shop;
        {
            QString error;
            const DatabaseHandle db = DatabaseOpen::OpenDatabase(
                DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
            QVERIFY2(db, qPrintable(error));
            QCOMPARE(sqlite3_exec(db.get(),
                                  "DROP INDEX Record_Type; DROP INDEX Record_Out; DROP INDEX Film_NameCode;"
                                  "DROP INDEX Record_BorrowDate; PRAGMA user_version = 0;",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
        }
        EngineTrace trace;
        Login login;
        login.Type(QStringLiteral("Admin"), QStringLiteral("admin"));
        login.Press();
        QVERIFY(login.dlg.IsEnded());
        QVERIFY(!QApplication::overrideCursor());
        QList<bool> waiting;
        for (const EngineTrace::Statement& statement : trace.Statements()) {
            if (statement.sql.startsWith(QStringLiteral("CREATE INDEX")))
                waiting << statement.waitCursor;
        }
        // and the ledger's, there already, the seven of the film window's sorting, the reports' four,
        // the four of the search keys, the desk actions' two, the two of the reservations and the
        // imports' one, the three of the titles' and customers' reports and the trail's four
        QCOMPARE(waiting, QList<bool>(32, true));
        QCOMPARE(
            Db::Value(QStringLiteral("SELECT count(*) AS v FROM sqlite_master WHERE name IN "
                                     "('Record_Type','Record_Out','Film_NameCode','Record_BorrowDate')")),
            QStringLiteral("4"));
    }
};
VORIX_TEST(LoginDlgTest)
#include "tst_LoginDlg.moc"
