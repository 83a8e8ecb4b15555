#include "Shop.h"
#include "TestRegistry.h"

#include "access/CLoginDlg.h"
#include "access/COperatorAddDlg.h"
#include "access/COperatorManageDlg.h"
#include "access/CPasswordDlg.h"
#include "access/Session.h"
#include "base/PasswordHash.h"
#include "data/CAdodc.h"
#include "ui_CLoginDlg.h"
#include "ui_COperatorAddDlg.h"
#include "ui_COperatorManageDlg.h"
#include "ui_CPasswordDlg.h"

#include <QTest>

namespace {
const QString kAdmin = QStringLiteral("管理员");
const QString kClerk = QStringLiteral("操作员");

// A fresh shop with the first administrator, and a session of the given operator.
struct OperatorShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;
    explicit OperatorShop(const QString& name = QStringLiteral("Admin"), const QString& type = kAdmin)
        : user(name, type) {}
    // Adds an operator directly; returns his ID as text.
    static QString Add(const QString& name, const QString& password, const QString& type) {
        [&] {
            QVERIFY(
                Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('%1','%2','%3')")
                             .arg(name, password, type)));
        }();
        return Db::Value(QStringLiteral("SELECT MAX(ID) AS v FROM Operator"));
    }
    // Name, password and type of the operator, or empty when there is none. A stored hash shows as
    // the password it was made of when that is `password`, and as stored otherwise.
    static QString Row(const QString& id, const QString& password) {
        const QString where = QStringLiteral(" FROM Operator WHERE ID=") + id;
        const QString stored = Db::Value(QStringLiteral("SELECT OptPwd AS v") + where);
        const QString shown =
            PasswordHash::IsHash(stored) && PasswordHash::Matches(stored, password) ? password : stored;
        const QString name = Db::Value(QStringLiteral("SELECT OptName AS v") + where);
        return name.isEmpty() && stored.isEmpty() ? QString()
                                                  : name + QLatin1Char('|') + shown + QLatin1Char('|') +
                                                        Db::Value(QStringLiteral("SELECT Type AS v") + where);
    }
    void ExpectOnlyBox(const char* text, const char* caption = "提示",
                       MsgIcon icon = MsgIcon::Warning) const {
        QCOMPARE(boxes.Texts(), Texts({text}));
        const MessageRequest& box = boxes.Boxes().first();
        QCOMPARE(box.caption, QString::fromUtf8(caption));
        QCOMPARE(box.icon, icon);
        QCOMPARE(box.buttons, MsgButtons::Ok);
    }
};

void Retype(QLineEdit* edit, const QString& text) {
    edit->clear();
    TypeText(edit, text);
}

void FillAdd(COperatorAddDlg& dlg, const QString& name, const QString& type, const QString& password,
             const QString& confirm) {
    Retype(dlg.Form()->nameEdit, name);
    dlg.Form()->typeCombo->setCurrentText(type);
    Retype(dlg.Form()->passwordEdit, password);
    Retype(dlg.Form()->confirmEdit, confirm);
    QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton);
}

void FillPassword(CPasswordDlg& dlg, const QString& old, const QString& password, const QString& confirm) {
    Retype(dlg.Form()->oldEdit, old);
    Retype(dlg.Form()->newEdit, password);
    Retype(dlg.Form()->confirmEdit, confirm);
    QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton);
}

// The names the operator window lists, top to bottom.
QStringList Listed(COperatorManageDlg& dlg) {
    QStringList names;
    const CDataList* list = dlg.Form()->operatorList;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << list->model()->index(row, list->modelColumn()).data().toString();
    return names;
}

void Select(COperatorManageDlg& dlg, const QString& name) {
    CDataList* list = dlg.Form()->operatorList;
    const int row = Listed(dlg).indexOf(name);
    QVERIFY2(row >= 0, qPrintable(name));
    list->setCurrentIndex(list->model()->index(row, list->modelColumn()));
    QCOMPARE(list->GetText(), name);
}
} // namespace

class OperatorAddDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheFirstTypeWithMaskedBoxesOfTwentyBytes() {
        OperatorShop shop;
        COperatorAddDlg dlg;
        dlg.show();
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("添加操作员"));
        QCOMPARE(dlg.Form()->typeCombo->count(), 2);
        QCOMPARE(dlg.Form()->typeCombo->itemText(0), kAdmin);
        QCOMPARE(dlg.Form()->typeCombo->itemText(1), kClerk);
        QCOMPARE(dlg.Form()->typeCombo->currentIndex(), 0);
        QVERIFY(dlg.Form()->okButton->isDefault());
        for (QLineEdit* edit : {dlg.Form()->nameEdit, dlg.Form()->passwordEdit, dlg.Form()->confirmEdit}) {
            QCOMPARE(edit->echoMode(),
                     edit == dlg.Form()->nameEdit ? QLineEdit::Normal : QLineEdit::Password);
            TypeText(edit, QStringLiteral("abcdefghijklmnopqrstu"));
            QCOMPARE(edit->text(), QStringLiteral("abcdefghijklmnopqrst"));
        }
        Retype(dlg.Form()->nameEdit, QStringLiteral("一二三四五六七八九十"));
        TypeText(dlg.Form()->nameEdit, QStringLiteral("多"));
        QCOMPARE(dlg.Form()->nameEdit->text(), QStringLiteral("一二三四五六七八九十"));
    }

    // name, password, confirmation, message. Each row breaks the checks after its own as well, so
    // the first failing check is the one shown.
    void refusalsInTheirOrder_data() {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("empty name") << Texts({"", "a", "b", "请填写用户名!"});
        QTest::newRow("name taken") << Texts({"Admin", "a", "b", "用户名已存在!"});
        QTest::newRow("name taken in other case") << Texts({"admin", "a", "a", "用户名已存在!"});
        QTest::newRow("confirmation differs") << Texts({"op1", "a", "b", "密码确认错误!"});
        QTest::newRow("confirmation differs in case") << Texts({"op1", "Secret", "secret", "密码确认错误!"});
    }
    void refusalsInTheirOrder() {
        QFETCH(QStringList, row);
        OperatorShop shop;
        COperatorAddDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        FillAdd(dlg, row[0], kClerk, row[1], row[2]);
        shop.ExpectOnlyBox(row[3].toUtf8().constData());
        QVERIFY(!dlg.IsEnded());
        QCOMPARE(dlg.Form()->nameEdit->text(), row[0]);
        QCOMPARE(dlg.Form()->confirmEdit->text(), row[2]);
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 1);
    }

    // name, password, type
    void storesTheOperatorAsTyped_data() {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("blanks around the name") << Texts({"  op1 ", "pw", "操作员"});
        QTest::newRow("twenty characters")
            << Texts({"abcdefghijklmnopqrst", "ABCDEFGHIJKLMNOPQRST", "管理员"});
        QTest::newRow("quotes") << Texts({"O'Neil", "p'w' OR ''='", "操作员"});
        QTest::newRow("Chinese") << Texts({"张三", "密码", "操作员"});
        QTest::newRow("empty password") << Texts({"op2", "", "管理员"});
        QTest::newRow("Admin and a blank") << Texts({"Admin ", "x", "操作员"});
    }
    void storesTheOperatorAsTyped() {
        QFETCH(QStringList, row);
        OperatorShop shop;
        COperatorAddDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        FillAdd(dlg, row[0], row[2], row[1], row[1]);
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QCOMPARE(dlg.Result(), int(IDOK));
        QCOMPARE(OperatorShop::Row(QStringLiteral("2"), row[1]), row.join(QLatin1Char('|')));
    }

    void failedInsertKeepsTheDialogOpen() {
        OperatorShop shop;
        QVERIFY(Db::FailOn("INSERT", "Operator", "x"));
        COperatorAddDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        FillAdd(dlg, QStringLiteral("op1"), kClerk, QStringLiteral("pw"), QStringLiteral("pw"));
        QCOMPARE(shop.boxes.Texts().size(), 1);
        QVERIFY(shop.boxes.Texts().first().endsWith(QLatin1Char('x')));
        QVERIFY(!dlg.IsEnded());
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 1);
    }
};
VORIX_TEST(OperatorAddDlgTest)

class PasswordDlgTest : public QObject {
    Q_OBJECT
private slots:
    // The counter screen faces the customers: the three password boxes show no typed character.
    void opensOnTheOperatorWithMaskedPasswordBoxes() {
        OperatorShop shop;
        const QString id = OperatorShop::Add(QStringLiteral("王五"), QStringLiteral("old"), kClerk);
        CPasswordDlg dlg;
        dlg.m_strID = id;
        dlg.show();
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("修改密码"));
        QCOMPARE(dlg.Form()->nameEdit->text(), QStringLiteral("王五"));
        QVERIFY(dlg.Form()->nameEdit->isReadOnly());
        QVERIFY(dlg.Form()->okButton->isDefault());
        QVERIFY(!dlg.Form()->reasonLabel->isVisible()); // opened from the list, no reason is given
        for (QLineEdit* edit : {dlg.Form()->oldEdit, dlg.Form()->newEdit, dlg.Form()->confirmEdit}) {
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            TypeText(edit, QStringLiteral("abcdefghijklmnopqrstu"));
            QCOMPARE(edit->text().size(), 20);
            QVERIFY2(!edit->displayText().contains(QLatin1Char('a')), qPrintable(edit->objectName()));
        }
        QCOMPARE(dlg.Form()->nameEdit->echoMode(), QLineEdit::Normal);
    }

    // old password typed, confirmation of "new", message; the stored password is "old'".
    void refusalsInTheirOrder_data() {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("wrong old password") << Texts({"wrong", "other", "旧密码错误!"});
        QTest::newRow("old password in other case") << Texts({"OLD'", "new", "旧密码错误!"});
        QTest::newRow("empty old password") << Texts({"", "new", "旧密码错误!"});
        QTest::newRow("confirmation differs") << Texts({"old'", "other", "确认新密码错误!"});
        QTest::newRow("confirmation differs in case") << Texts({"old'", "NEW", "确认新密码错误!"});
    }
    void refusalsInTheirOrder() {
        QFETCH(QStringList, row);
        OperatorShop shop;
        const QString id = OperatorShop::Add(QStringLiteral("op1"), QStringLiteral("old''"), kClerk);
        CPasswordDlg dlg;
        dlg.m_strID = id;
        QVERIFY(dlg.OnInitDialog());
        FillPassword(dlg, row[0], QStringLiteral("new"), row[1]);
        shop.ExpectOnlyBox(row[2].toUtf8().constData());
        QVERIFY(!dlg.IsEnded());
        QCOMPARE(dlg.Form()->oldEdit->text(), row[0]);
        QCOMPARE(OperatorShop::Row(id, QStringLiteral("old'")), QStringLiteral("op1|old'|操作员"));
    }

    void changesOnlyThePassword_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << "new";
        QTest::newRow("empty") << "";
        QTest::newRow("quote and Chinese") << "新'密码";
    }
    void changesOnlyThePassword() {
        QFETCH(QString, password);
        OperatorShop shop;
        const QString id = OperatorShop::Add(QStringLiteral(" op1 "), QString(), kAdmin);
        CPasswordDlg dlg;
        dlg.m_strID = id;
        QVERIFY(dlg.OnInitDialog());
        FillPassword(dlg, QString(), password, password);
        shop.ExpectOnlyBox("密码修改成功!", "成功", MsgIcon::Information);
        QCOMPARE(dlg.Result(), int(IDOK));
        QCOMPARE(OperatorShop::Row(id, password),
                 QStringLiteral(" op1 |") + password + QStringLiteral("|管理员"));
        QCOMPARE(OperatorShop::Row(QStringLiteral("1"), QStringLiteral("admin")),
                 QStringLiteral("Admin|admin|管理员"));
    }

    void failedUpdateShowsOnlyTheEngineMessage() {
        OperatorShop shop;
        QVERIFY(Db::FailOn("UPDATE", "Operator", "x"));
        CPasswordDlg dlg;
        dlg.m_strID = QStringLiteral("1");
        QVERIFY(dlg.OnInitDialog());
        FillPassword(dlg, QStringLiteral("admin"), QStringLiteral("new"), QStringLiteral("new"));
        QCOMPARE(shop.boxes.Texts().size(), 1);
        QVERIFY(shop.boxes.Texts().first().endsWith(QLatin1Char('x')));
        QVERIFY(!dlg.IsEnded());
        QCOMPARE(OperatorShop::Row(QStringLiteral("1"), QStringLiteral("admin")),
                 QStringLiteral("Admin|admin|管理员"));
    }

    void keyOfNoOperatorOpensNoForm_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("no such row") << "999";
        QTest::newRow("not a number") << "1 OR 1=1";
    }
    void keyOfNoOperatorOpensNoForm() {
        QFETCH(QString, key);
        OperatorShop shop;
        ModalScript script([](CDialog&) { QFAIL("the form must not open"); });
        CPasswordDlg dlg;
        dlg.m_strID = key;
        QCOMPARE(dlg.DoModal(), int(IDCANCEL));
        shop.ExpectOnlyBox("找不到该用户,它可能已被删除。");
    }

    void operatorDeletedMeanwhileIsNotReportedChanged() {
        OperatorShop shop;
        const QString id = OperatorShop::Add(QStringLiteral("op1"), QStringLiteral("pw"), kClerk);
        CPasswordDlg dlg;
        dlg.m_strID = id;
        QVERIFY(dlg.OnInitDialog());
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Operator WHERE ID=") + id));
        FillPassword(dlg, QStringLiteral("pw"), QStringLiteral("new"), QStringLiteral("new"));
        shop.ExpectOnlyBox("找不到该用户,它可能已被删除。");
        QCOMPARE(dlg.Result(), int(IDCANCEL));
    }
};
VORIX_TEST(PasswordDlgTest)

class OperatorManageDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithRightsByRole_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("administrator");
        QTest::newRow("administrator") << "管理员" << true;
        QTest::newRow("operator") << "操作员" << false;
        QTest::newRow("administrator with a blank") << "管理员 " << false;
    }
    void opensWithRightsByRole() {
        QFETCH(QString, type);
        QFETCH(bool, administrator);
        OperatorShop shop(QStringLiteral("op1"), type);
        OperatorShop::Add(QStringLiteral("op1"), QStringLiteral("pw"), type);
        OperatorShop::Add(QStringLiteral("张三"), QStringLiteral("pw"), kClerk);
        COperatorManageDlg dlg;
        dlg.show();
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("用户管理"));
        QCOMPARE(Listed(dlg), Texts({"Admin", "op1", "张三"}));
        QCOMPARE(dlg.Form()->operatorList->GetText(), QString());
        QCOMPARE(dlg.Form()->addButton->isEnabled(), administrator);
        QCOMPARE(dlg.Form()->deleteButton->isEnabled(), administrator);
        QVERIFY(dlg.Form()->modifyButton->isEnabled());
        Select(dlg, QStringLiteral("张三"));
        QCOMPARE(dlg.Form()->operatorList->GetBoundText(), QStringLiteral("3"));
    }

    void nothingSelectedAsksForAnOperator() {
        OperatorShop shop;
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        ModalScript none([](CDialog&) { QFAIL("no dialog opens without a selection"); });
        dlg.Form()->modifyButton->click();
        dlg.Form()->deleteButton->click();
        QCOMPARE(shop.boxes.Texts(), Texts({"请选择用户", "请选择用户"}));
        QCOMPARE(shop.boxes.Boxes().at(0).caption, QStringLiteral("Vorix"));
        QCOMPARE(shop.boxes.Boxes().at(0).icon, MsgIcon::None);
    }

    void addedOperatorIsListed() {
        OperatorShop shop;
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        ModalScript add([](CDialog& d) {
            FillAdd(static_cast<COperatorAddDlg&>(d), QStringLiteral("op1"), kClerk, QString(), QString());
        });
        dlg.Form()->addButton->click();
        QCOMPARE(Listed(dlg), Texts({"Admin", "op1"}));
    }

    void nonAdministratorChangesOnlyHisOwnPassword() {
        OperatorShop shop(QStringLiteral("op1"), kClerk);
        const QString id = OperatorShop::Add(QStringLiteral("op1"), QStringLiteral("pw"), kClerk);
        OperatorShop::Add(QStringLiteral("OP1 "), QStringLiteral("pw"), kClerk);
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QStringList opened;
        ModalScript change([&](CDialog& d) {
            auto& changing = static_cast<CPasswordDlg&>(d);
            opened << changing.m_strID;
            FillPassword(changing, QStringLiteral("pw"), QStringLiteral("mine"), QStringLiteral("mine"));
        });
        for (const char* name : {"Admin", "OP1 ", "op1"}) {
            Select(dlg, QString::fromUtf8(name));
            dlg.Form()->modifyButton->click();
        }
        QCOMPARE(opened, QStringList{id});
        const QString refusal = QStringLiteral("您不是管理员,只能更改自己的密码!");
        QCOMPARE(shop.boxes.Texts(), QStringList({refusal, refusal, QStringLiteral("密码修改成功!")}));
        QCOMPARE(shop.boxes.Boxes().at(0).caption, QStringLiteral("提示"));
        QCOMPARE(shop.boxes.Boxes().at(0).icon, MsgIcon::Warning);
        QCOMPARE(OperatorShop::Row(id, QStringLiteral("mine")), QStringLiteral("op1|mine|操作员"));
    }

    void administratorStillNeedsTheOldPassword() {
        OperatorShop shop;
        const QString id = OperatorShop::Add(QStringLiteral("op1"), QStringLiteral("pw"), kClerk);
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Select(dlg, QStringLiteral("op1"));
        ModalScript change([](CDialog& d) {
            auto& changing = static_cast<CPasswordDlg&>(d);
            QCOMPARE(changing.Form()->nameEdit->text(), QStringLiteral("op1"));
            FillPassword(changing, QStringLiteral("admin"), QStringLiteral("new"), QStringLiteral("new"));
            FillPassword(changing, QStringLiteral("pw"), QStringLiteral("new"), QStringLiteral("new"));
        });
        dlg.Form()->modifyButton->click();
        QCOMPARE(shop.boxes.Texts(), Texts({"旧密码错误!", "密码修改成功!"}));
        QCOMPARE(OperatorShop::Row(id, QStringLiteral("new")), QStringLiteral("op1|new|操作员"));
    }

    // Only the name "Admin" as stored is protected; any other operator may be deleted.
    void deleteSparesOnlyAdmin_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Admin") << "Admin";
        QTest::newRow("second administrator") << "Admin2";
        QTest::newRow("Admin in other case") << "ADMIN";
    }
    void deleteSparesOnlyAdmin() {
        QFETCH(QString, name);
        OperatorShop shop;
        const bool protectedName = name == QStringLiteral("Admin");
        if (!protectedName)
            OperatorShop::Add(name, QStringLiteral("pw"), kAdmin);
        const int before = Db::Count(QStringLiteral("Operator"));
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Select(dlg, name);
        if (protectedName) {
            dlg.Form()->deleteButton->click();
            shop.ExpectOnlyBox("不能删除系统默认管理员!");
            QCOMPARE(Db::Count(QStringLiteral("Operator")), before);
            return;
        }
        shop.boxes.Answer(IDNO);
        dlg.Form()->deleteButton->click();
        QCOMPARE(Db::Count(QStringLiteral("Operator")), before);
        shop.boxes.Answer(IDYES);
        dlg.Form()->deleteButton->click();
        const QString question = QStringLiteral("是否删除用户: ") + name;
        QCOMPARE(shop.boxes.Texts(), QStringList({question, question}));
        const MessageRequest& box = shop.boxes.Boxes().first();
        QCOMPARE(box.caption, QStringLiteral("请确定"));
        QCOMPARE(box.icon, MsgIcon::Question);
        QCOMPARE(box.buttons, MsgButtons::YesNo);
        QCOMPARE(box.defaultButton, IDNO); // Enter keeps the operator
        QCOMPARE(Listed(dlg), Texts({"Admin"}));
    }

    void administratorDeletesHimselfAndKeepsHisSession() {
        OperatorShop shop(QStringLiteral("Admin2"), kAdmin);
        OperatorShop::Add(QStringLiteral("Admin2"), QStringLiteral("pw"), kAdmin);
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Select(dlg, QStringLiteral("Admin2"));
        shop.boxes.Answer(IDYES);
        dlg.Form()->deleteButton->click();
        QCOMPARE(Listed(dlg), Texts({"Admin"}));
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin2"));
        QVERIFY(Session::Current().IsAdministrator());
        QVERIFY(dlg.Form()->addButton->isEnabled());
    }

    void operatorDeletedAtAnotherDeskLeavesTheList() {
        OperatorShop shop;
        const QString id = OperatorShop::Add(QStringLiteral("op1"), QStringLiteral("pw"), kClerk);
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Select(dlg, QStringLiteral("op1"));
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Operator WHERE ID=") + id));
        dlg.Form()->deleteButton->click();
        shop.ExpectOnlyBox("找不到该用户,它可能已被删除。");
        QCOMPARE(Listed(dlg), Texts({"Admin"}));
    }
};
VORIX_TEST(OperatorManageDlgTest)
#include "tst_OperatorDlgs.moc"
