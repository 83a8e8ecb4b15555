#include "DeskFixture.h"
#include "TestRegistry.h"

#include "desk/CPriceSettingDlg.h"
#include "ui_CPriceSettingDlg.h"

namespace {
struct Prices {
    CPriceSettingDlg dlg;
    Prices() {
        dlg.show();
        dlg.OnInitDialog();
    }
    Ui::CPriceSettingDlg& f() { return *dlg.Form(); }
    QList<QLineEdit*> Fields() {
        return {f().monthVcdEdit, f().monthDvdEdit, f().dayVcdEdit, f().dayDvdEdit};
    }
    QStringList Shown() {
        QStringList texts;
        for (QLineEdit* e : Fields())
            texts << e->text();
        return texts;
    }
    void Set(const QStringList& texts) {
        for (int i = 0; i < 4; ++i) {
            Fields()[i]->clear();
            TypeText(Fields()[i], texts[i]);
        }
    }
    void Press() { QTest::mouseClick(f().okButton, Qt::LeftButton); }
};

QString Stored() {
    return Db::Row(QStringLiteral("SELECT MonthVcd, MonthDvd, DayVcd, DayDvd FROM Setting"));
}
} // namespace

class PriceSettingDlgTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheCurrentPrices() {
        DeskShop shop;
        Prices p;
        QCOMPARE(p.dlg.windowTitle(), QStringLiteral("设置"));
        QCOMPARE(p.Shown(), Texts({"30", "40", "3", "5"}));
        QCOMPARE(p.f().monthGroup->title(), QStringLiteral("月租价(元)"));
        QCOMPARE(p.f().dayGroup->title(), QStringLiteral("零租价(元)"));
        QCOMPARE(p.f().monthVcdLabel->text(), QStringLiteral("ＶＣＤ："));
        QCOMPARE(p.f().dayDvdLabel->text(), QStringLiteral("ＤＶＤ："));
        QVERIFY(p.f().okButton->isEnabled());
        QVERIFY(QTest::qWaitForWindowActive(&p.dlg));
        QCOMPARE(QApplication::focusWidget(), p.f().monthVcdEdit);
    }

    void administratorSavesThePrices() {
        DeskShop shop;
        Prices p;
        p.Set(Texts({" 3 ", "5", "0.5", "1"}));
        StatementRecorder sql;
        p.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(p.dlg.IsEnded());
        // The prices read again under the write lock, the prices' statement, then the ledger's note
        // and the trail's row.
        QCOMPARE(sql.Statements().size(), 4);
        QCOMPARE(sql.Statements().first(), QStringLiteral("SELECT * FROM Setting"));
        QCOMPARE(
            sql.Statements().at(1),
            QStringLiteral(
                "UPDATE Setting SET MonthVcd=3.000000,MonthDvd=5.000000, DayVcd=0.500000, DayDvd=1.000000"));
        QVERIFY(sql.Statements().at(2).startsWith(QStringLiteral("INSERT INTO Ledger")));
        QVERIFY(sql.Statements().last().startsWith(QStringLiteral("INSERT INTO AuditTrail")));
        QCOMPARE(Stored(), QStringLiteral("3.0 5.0 0.5 1.0"));
    }

    void boundsAndPrecision() {
        DeskShop shop;
        {
            Prices p;
            p.Set(Texts({"0", "9999", "12.345678", "1e3"}));
            p.Press();
            QVERIFY(p.dlg.IsEnded());
        }
        Prices again;
        QCOMPARE(again.Shown(), Texts({"0", "9999", "12.3457", "1000"}));
        QVERIFY(Stored().startsWith(QStringLiteral("0.0 9999.0 12.34567")));
    }

    void badFieldPromptsInTabOrder_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("prompt");
        const QString number = QStringLiteral("请输入一个数。");
        const QString range = QStringLiteral("请输入一个介于 0 和 9999 之间的数。");
        QTest::newRow("yuan") << Texts({"5元", "", "1", "1"}) << 0 << number;
        QTest::newRow("empty") << Texts({"1", "", "x", "1"}) << 1 << number;
        QTest::newRow("negative") << Texts({"1", "2", "-0.01", "1"}) << 2 << range;
        QTest::newRow("too much") << Texts({"1", "2", "3", "9999.01"}) << 3 << range;
        QTest::newRow("nan") << Texts({"nan", "2", "3", "4"}) << 0 << number;
        QTest::newRow("inf") << Texts({"1", "inf", "3", "4"}) << 1 << number;
    }
    void badFieldPromptsInTabOrder() {
        QFETCH(QStringList, texts);
        QFETCH(int, field);
        QFETCH(QString, prompt);
        DeskShop shop;
        Prices p;
        QVERIFY(QTest::qWaitForWindowActive(&p.dlg));
        p.Set(texts);
        p.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{prompt});
        QVERIFY(!p.dlg.IsEnded());
        QCOMPARE(QApplication::focusWidget(), p.Fields()[field]);
        QCOMPARE(Stored(), QStringLiteral("30.0 40.0 3.0 5.0"));
    }

    // Every price another desk changed while the form was open is named, in the form's order, and
    // shown; nothing is written until the clerk confirms again.
    void pricesChangedElsewhereAreShownNotOverwritten() {
        DeskShop shop;
        Prices p;
        QVERIFY(QTest::qWaitForWindowActive(&p.dlg));
        QVERIFY(
            Db::Exec(QStringLiteral("UPDATE Setting SET MonthVcd=31, MonthDvd=41, DayVcd=2.3, DayDvd=6")));
        p.Set(Texts({"30", "40", "3", "5"}));
        p.Press();
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{QStringLiteral(
                     "保存前价格已在别处被修改: 月租VCD 现为 31.00 元,月租DVD 现为 41.00 元,"
                     "零租VCD 现为 2.30 元,零租DVD 现为 6.00 元。已重新读入,请核对后再保存。")});
        QVERIFY(!p.dlg.IsEnded());
        QCOMPARE(p.Shown(), Texts({"31", "41", "2.3", "6"}));
        QCOMPARE(QApplication::focusWidget(), p.f().monthVcdEdit);
        QVERIFY(Stored().startsWith(QStringLiteral("31.0 41.0 2.")));
        QCOMPARE(Db::Count(QStringLiteral("Ledger")), 0);
        shop.boxes.Clear();
        p.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(p.dlg.IsEnded());
        QCOMPARE(Db::Count(QStringLiteral("Ledger")), 0); // saved as they were: no change to note
    }

    void operatorSeesButCannotSave() {
        DeskShop shop(QStringLiteral("小王"), QStringLiteral("操作员"));
        Prices p;
        QCOMPARE(p.Shown(), Texts({"30", "40", "3", "5"}));
        QVERIFY(!p.f().okButton->isEnabled());
        p.Set(Texts({"1", "1", "1", "1"}));
        QTest::keyClick(p.f().dayDvdEdit, Qt::Key_Return);
        p.dlg.OnOK();
        QVERIFY(!p.dlg.IsEnded());
        QCOMPARE(Stored(), QStringLiteral("30.0 40.0 3.0 5.0"));
    }

    void typeWithBlankIsNoAdministrator() {
        DeskShop shop(QStringLiteral("Admin"), QStringLiteral("管理员 "));
        Prices p;
        QVERIFY(!p.f().okButton->isEnabled());
    }

    void cancelKeepsThePrices() {
        DeskShop shop;
        Prices p;
        p.Set(Texts({"1", "1", "1", "1"}));
        QTest::keyClick(&p.dlg, Qt::Key_Escape);
        QVERIFY(p.dlg.IsEnded());
        QCOMPARE(p.dlg.Result(), int(IDCANCEL));
        QCOMPARE(Stored(), QStringLiteral("30.0 40.0 3.0 5.0"));
    }
};
VORIX_TEST(PriceSettingDlgTest)
#include "tst_PriceSettingDlg.moc"
