#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "desk/CLendDlg.h"
#include "desk/CPickDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CPickDlg.h"

#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
// The codes a picker shows for a search, in its order.
QStringList Codes(CPickDlg& picker) {
    QStringList codes;
    for (int row = 0; row < picker.DataControl()->rowCount(); ++row)
        codes << picker.DataControl()->Text(row, 0);
    return codes;
}

void AddClients() {
    QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID, PhoneNum, Remark, Balance) VALUES "
                     "('C2', '13900002222', '住在东门', 10), ('C3', '021-5555', '100%满意', 5), "
                     "('C_4', '777', '', 1)"_s));
}
} // namespace

// The desk's pickers: what a search finds, taken literally, and the code handed back.
class PickDlgTest : public QObject {
    Q_OBJECT
private slots:
    void clientSearch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("all") << QString() << QStringList{u"C1"_s, u"C2"_s, u"C3"_s, u"C_4"_s};
        QTest::newRow("part of a phone") << u"0000222"_s << QStringList{u"C2"_s};
        QTest::newRow("part of a remark") << u"东门"_s << QStringList{u"C2"_s};
        QTest::newRow("number, other case") << u"c3"_s << QStringList{u"C3"_s};
        QTest::newRow("percent is a percent") << u"%"_s << QStringList{u"C3"_s};
        QTest::newRow("underscore is an underscore") << u"C_"_s << QStringList{u"C_4"_s};
        QTest::newRow("quote") << u"' OR 1=1 --"_s << QStringList();
    }
    void clientSearch() {
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        DeskShop shop;
        AddClients();
        CPickDlg picker(CPickDlg::Kind::Client);
        picker.m_strSearch = text;
        picker.show();
        picker.OnInitDialog();
        QCOMPARE(picker.windowTitle(), u"选择客户"_s);
        QCOMPARE(Codes(picker), codes);
        QVERIFY(picker.Form()->onlyInCheck->isHidden());
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void filmSearch_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("onlyIn");
        QTest::addColumn<QStringList>("rows"); // code and state
        QTest::newRow("all") << QString() << false << QStringList{u"V1 在店"_s, u"D1 借出"_s, u"P1 在店"_s};
        QTest::newRow("only in") << QString() << true << QStringList{u"V1 在店"_s, u"P1 在店"_s};
        QTest::newRow("title") << u"间"_s << false << QStringList{u"D1 借出"_s};
        QTest::newRow("title, only in") << u"间"_s << true << QStringList();
        QTest::newRow("actor") << u"周星"_s << false << QStringList{u"P1 在店"_s};
        QTest::newRow("code") << u"v1"_s << false << QStringList{u"V1 在店"_s};
        QTest::newRow("percent") << u"%"_s << false << QStringList();
    }
    void filmSearch() {
        QFETCH(QString, text);
        QFETCH(bool, onlyIn);
        QFETCH(QStringList, rows);
        DeskShop shop;
        QVERIFY(
            Db::Exec(u"INSERT INTO Film (FilmID, FilmName, Playactor, Type) VALUES ('P1', '功夫', '周星驰', "
                     "'DVD')"_s));
        DeskShop::AddOutRental(u"D1"_s, u"C1"_s, u"月租"_s, 0);
        CPickDlg picker(CPickDlg::Kind::Film);
        picker.m_strSearch = text;
        picker.m_bOfferOnlyIn = true;
        picker.show();
        picker.OnInitDialog();
        QCOMPARE(picker.windowTitle(), u"选择影片"_s);
        QVERIFY(picker.Form()->onlyInCheck->isChecked());
        picker.Form()->onlyInCheck->setChecked(onlyIn);
        QStringList shown;
        for (int row = 0; row < picker.DataControl()->rowCount(); ++row)
            shown << picker.DataControl()->Text(row, 0) + u" "_s + picker.DataControl()->Text(row, 5);
        QCOMPARE(shown, rows);
    }

    // Typing narrows the rows after the pause; Enter right away picks from what was typed.
    void typingThenEnterPicks() {
        DeskShop shop;
        AddClients();
        CPickDlg picker(CPickDlg::Kind::Client);
        picker.show();
        picker.OnInitDialog();
        QCOMPARE(Codes(picker).size(), 4);
        QTest::keyClicks(picker.Form()->searchEdit, u"777"_s);
        QTest::keyClick(picker.Form()->searchEdit, Qt::Key_Return);
        QVERIFY(picker.IsEnded() && picker.Result() == IDOK);
        QCOMPARE(picker.m_strPicked, u"C_4"_s);
    }

    void doubleClickPicksThatRow() {
        DeskShop shop;
        AddClients();
        CPickDlg picker(CPickDlg::Kind::Client);
        picker.show();
        picker.OnInitDialog();
        DoubleClickRow(picker.Form()->grid, 2);
        QVERIFY(picker.IsEnded() && picker.Result() == IDOK);
        QCOMPARE(picker.m_strPicked, u"C3"_s);
    }

    void nothingFoundPicksNothing() {
        DeskShop shop;
        CPickDlg picker(CPickDlg::Kind::Client);
        picker.m_strSearch = u"nobody"_s;
        picker.show();
        picker.OnInitDialog();
        picker.OnOK();
        QVERIFY(!picker.IsEnded());
    }

    // F4 in the lending's fields opens the right picker, started from what is typed; the code
    // picked goes into the field and its line follows.
    void f4HandsTheCodeBack() {
        DeskShop shop;
        AddClients();
        CLendDlg lend;
        lend.show();
        lend.OnInitDialog();
        TypeText(lend.Form()->clientEdit, u"东门"_s);
        QStringList opened;
        {
            ModalScript script([&](CDialog& dialog) {
                auto* picker = qobject_cast<CPickDlg*>(&dialog);
                QVERIFY(picker);
                opened << picker->windowTitle() + u" "_s + picker->Form()->searchEdit->text();
                picker->OnOK();
            });
            QTest::keyClick(lend.Form()->clientEdit, Qt::Key_F4);
            lend.Form()->filmEdit->clear();
            QTest::keyClick(lend.Form()->filmEdit, Qt::Key_F4);
        }
        QCOMPARE(opened, (QStringList{u"选择客户 东门"_s, u"选择影片 "_s}));
        QCOMPARE(lend.Form()->clientEdit->text(), u"C2"_s);
        QCOMPARE(lend.Form()->filmEdit->text(), u"V1"_s);
        QVERIFY(!lend.IsEnded());
        auto* clientPick = lend.findChild<QWidget*>(u"clientEditPick"_s);
        QVERIFY(clientPick && clientPick->isEnabled());
        lend.Form()->typeCombo->setCurrentIndex(1); // per day: no client, no client's picker
        QVERIFY(!clientPick->isEnabled());
        QVERIFY(lend.findChild<QWidget*>(u"filmEditPick"_s)->isEnabled());
        lend.Form()->typeCombo->setCurrentIndex(0);
        QVERIFY(clientPick->isEnabled());
        QTest::qWait(450);
        QCOMPARE(
            lend.findChild<QLabel*>(u"clientInfo"_s)->text(),
            u"电话 13900002222 · 住在东门 · 余额 10.00 元 · 借出 0 部\n余额不足:须扣款 30.00 元,余额只有 10.00 元"_s);
    }
};
VORIX_TEST(PickDlgTest)
#include "tst_PickDlg.moc"
