#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdodc.h"
#include "data/CRentInfo.h"
#include "manage/CClientEditDlg.h"
#include "manage/CClientManageDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CClientManageDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
// Three customers, the newest last; C2 has one film out and one returned.
struct ClientListShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;

    explicit ClientListShop(const QString& type = QStringLiteral("管理员"))
        : user(QStringLiteral("Admin"), type) {
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) VALUES"
                           "('C1','111','2026-01-01',50,50,''),('C2','222','2026-01-02',50,20,''),"
                           "('O''Neil','333','2026-01-03',50,50,'')")));
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Record (ClientID,FilmID,Type,BorrowDate,ReturnDate,OptUser) VALUES"
                           "('C2','F1','月租','2026-12-01',''),('C2','F2','月租','2026-11-01','2026-11-05'),"
                           "('C1','F3','月租','2026-11-01','2026-11-05')")
                .replace(QStringLiteral("'')"), QStringLiteral("'','Admin')"))
                .replace(QStringLiteral("05')"), QStringLiteral("05','Admin')"))));
    }
};

QStringList ShownNumbers(CClientManageDlg& dlg) {
    CAdodc* rows = dlg.DataControl();
    while (rows->canFetchMore(QModelIndex()))
        rows->fetchMore(QModelIndex());
    QStringList numbers;
    for (int row = 0; row < rows->rowCount(); ++row)
        numbers << rows->Text(row, 1);
    return numbers;
}

void Search(CClientManageDlg& dlg, const QString& text) {
    dlg.show(); // Enter reaches the default button of a shown window
    dlg.Form()->searchEdit->setText(text);
    QTest::keyClick(dlg.Form()->searchEdit, Qt::Key_Return); // the default button searches
}

// Types a number into the client editor the window opens and confirms it.
CDialog::ModalRunner FillEditor(const QString& number) {
    return [=](CDialog& dialog) {
        auto& editor = static_cast<CClientEditDlg&>(dialog);
        editor.Form()->clientEdit->setText(number);
        editor.OnOK();
    };
}
} // namespace

class ClientManageDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnEveryCustomerNewestFirst() {
        ClientListShop shop;
        CClientManageDlg dlg;
        dlg.show();
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("客户管理"));
        QCOMPARE(dlg.m_strQuery,
                 QStringLiteral("SELECT ID, ClientID AS 编号, PhoneNum AS 电话, CreateDate AS 开户日期, "
                                "Foregift AS 押金,Balance AS 余款, Remark AS 备注 FROM Client "
                                "ORDER BY ID DESC"));
        QCOMPARE(ShownNumbers(dlg), Texts({"O'Neil", "C2", "C1"}));
        QCOMPARE(dlg.DataControl()->columnCount(), 7);
        QVERIFY(dlg.Form()->grid->isColumnHidden(0));
    }

    void searchFindsTheNumberAsTyped_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("number") << "C2" << Texts({"C2"});
        QTest::newRow("other letter case") << "c2" << Texts({"C2"});
        QTest::newRow("empty brings all back") << "" << Texts({"O'Neil", "C2", "C1"});
        QTest::newRow("quote") << "O'Neil" << Texts({"O'Neil"});
        QTest::newRow("quote that would widen") << "' OR ''='" << QStringList();
        QTest::newRow("no such number") << "C9" << QStringList();
    }
    void searchFindsTheNumberAsTyped() {
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        ClientListShop shop;
        CClientManageDlg dlg;
        dlg.show();
        QVERIFY(dlg.OnInitDialog());
        Search(dlg, text);
        QCOMPARE(ShownNumbers(dlg), numbers);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void withNoCurrentRowNothingOpens() {
        ClientListShop shop;
        CClientManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Search(dlg, QStringLiteral("C9"));
        ModalScript noEditor([](CDialog&) { QFAIL("no editor opens without a current row"); });
        dlg.Form()->modifyButton->click();
        dlg.Form()->deleteButton->click();
        QCOMPARE(shop.boxes.Texts(), Texts({"请选择要修改的记录", "请选择要删除的记录"}));
    }

    void deleteAsksTwiceAndTakesTheRentalsAlong_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("no at the first") << QList<int>{IDNO} << false;
        QTest::newRow("no at the second") << QList<int>{IDYES, IDNO} << false;
        QTest::newRow("yes at both") << QList<int>{IDYES, IDYES} << true;
    }
    void deleteAsksTwiceAndTakesTheRentalsAlong() {
        QFETCH(QList<int>, answers);
        QFETCH(bool, deleted);
        ClientListShop shop;
        CClientManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Search(dlg, QStringLiteral("C2"));
        for (const int answer : answers)
            shop.boxes.Answer(MsgResult(answer));
        dlg.Form()->deleteButton->click();
        const QStringList questions = Texts({"是否删除当前客户?", "该客户所有租借记录将一并删除,是否继续?"});
        QCOMPARE(shop.boxes.Texts(), questions.mid(0, answers.size()));
        QCOMPARE(shop.boxes.Boxes().first().caption, QStringLiteral("请确认"));
        for (const MessageRequest& box : shop.boxes.Boxes())
            QCOMPARE(box.defaultButton, IDNO); // Enter keeps the client
        QCOMPARE(Db::Count(QStringLiteral("Client")), deleted ? 2 : 3);
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ClientID='C2'")), deleted ? 0 : 2);
        QCOMPARE(Db::Count(QStringLiteral("Record")), deleted ? 1 : 3); // C1's rental stays
        // With the open rental gone, the film is free to lend again.
        QCOMPARE(CRentInfo().ExistsOpenByFilmId(QStringLiteral("F1")),
                 deleted ? Lookup::Missing : Lookup::Found);
        QCOMPARE(ShownNumbers(dlg), deleted ? QStringList() : Texts({"C2"}));
    }

    // A double click opens the clicked client as 修改 does, for those who may change clients.
    void doubleClickOpensTheClientWhereChangeIsAllowed_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("opens");
        QTest::newRow("administrator") << "管理员" << true;
        QTest::newRow("operator") << "操作员" << false;
    }
    void doubleClickOpensTheClientWhereChangeIsAllowed() {
        QFETCH(QString, type);
        QFETCH(bool, opens);
        ClientListShop shop(type);
        CClientManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QStringList opened;
        {
            ModalScript editor([&](CDialog& dialog) {
                opened << static_cast<CClientEditDlg&>(dialog).Form()->clientEdit->text();
                dialog.OnCancel();
            });
            DoubleClickRow(dlg.Form()->grid, 1);
        }
        QCOMPARE(opened, opens ? Texts({"C2"}) : QStringList());
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void aFailedClientDeleteKeepsTheRentals() {
        ClientListShop shop;
        QVERIFY(Db::FailOn("DELETE", "Client", "client is kept"));
        CClientManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Search(dlg, QStringLiteral("C2"));
        shop.boxes.Answer(IDYES);
        shop.boxes.Answer(IDYES);
        dlg.Form()->deleteButton->click();
        QCOMPARE(shop.boxes.Texts().size(), 3); // two questions, then the engine's one message
        QVERIFY(shop.boxes.Texts().last().contains(QStringLiteral("client is kept")));
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ClientID='C2'")), 2);
        QCOMPARE(Db::Count(QStringLiteral("Client")), 3);
        QCOMPARE(ShownNumbers(dlg), Texts({"C2"}));
    }

    void aSearchKeepsItsFilterAfterAddingAndChanging() {
        ClientListShop shop;
        CClientManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Search(dlg, QStringLiteral("C1"));
        {
            ModalScript editor(FillEditor(QStringLiteral("C4")));
            dlg.Form()->addButton->click();
        }
        QCOMPARE(Db::Count(QStringLiteral("Client WHERE ClientID='C4'")), 1);
        QCOMPARE(ShownNumbers(dlg), Texts({"C1"}));
        {
            ModalScript editor(FillEditor(QStringLiteral("C5")));
            dlg.Form()->modifyButton->click(); // C1 becomes C5 and leaves the search
        }
        QCOMPARE(Db::Count(QStringLiteral("Client WHERE ClientID='C5'")), 1);
        QCOMPARE(ShownNumbers(dlg), QStringList());
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void anOperatorOnlySearchesAndLooks() {
        ClientListShop shop(QStringLiteral("操作员"));
        CClientManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QVERIFY(!dlg.Form()->addButton->isEnabled());
        QVERIFY(!dlg.Form()->modifyButton->isEnabled());
        QVERIFY(!dlg.Form()->deleteButton->isEnabled());
        Search(dlg, QStringLiteral("C1"));
        QCOMPARE(ShownNumbers(dlg), Texts({"C1"}));
        CClientEditDlg editor; // the editor itself lets any operator add a customer
        QVERIFY(editor.OnInitDialog());
        QVERIFY(editor.Form()->okButton->isEnabled());
    }
};
VORIX_TEST(ClientManageDlgTest)
#include "tst_ClientManageDlg.moc"
