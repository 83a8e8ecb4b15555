#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/COptionInfo.h"
#include "desk/CLendDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "desk/CReceiptSettingDlg.h"
#include "desk/CReturnDlg.h"
#include "manage/CClientEditDlg.h"
#include "toolkit/Receipt.h"
#include "ui_CClientEditDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {
QStringList Receipts() {
    return QDir(Receipt::Folder()).entryList({u"*.pdf"_s}, QDir::Files, QDir::Name);
}

void ReceiptsOn(const QString& to) {
    QVERIFY(COptionInfo::Set(COptionInfo::kShopName, u"好运影碟"_s));
    QVERIFY(COptionInfo::Set(COptionInfo::kReceipts, u"1"_s));
    QVERIFY(COptionInfo::Set(COptionInfo::kReceiptTo, to));
}

const QStringList kHead{u"好运影碟"_s};
} // namespace

// The slips after a lending, a return and a top-up: off by default, their lines with the right
// amounts, one page of PDF each in the folder beside the shop's file.
class ReceiptTest : public QObject {
    Q_OBJECT
private slots:
    void offByDefault() {
        DeskShop shop;
        CLendDlg lend;
        LendAsClerk(lend, u"C1"_s, u"V1"_s);
        QVERIFY(!QDir(Receipt::Folder()).exists());
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void eachActionPrintsItsSlip() {
        DeskShop shop;
        ReceiptsOn(u"pdf"_s);
        const QDateTime at = QDateTime(QDate(2026, 12, 7), QTime(15, 30));
        {
            CLendDlg lend;
            LendAsClerk(lend, u"C1"_s, u"V1"_s);
            QCOMPARE(Receipt::Lines(lend.m_slip, u"好运影碟"_s, at),
                     (QStringList{u"好运影碟"_s, u"借出小票"_s, u"时间:2026-12-07 15:30:00"_s,
                                  u"操作员:Admin"_s, u"客户:C1"_s, u"影片:V1《英雄》"_s, u"扣款\t30.00 元"_s,
                                  u"余额\t70.00 元"_s, QString(), u"谢谢惠顾"_s}));
        }
        {
            CLendDlg lend;
            LendAsClerk(lend, QString(), u"D1"_s, u"50"_s);
            QCOMPARE(lend.m_slip.client, u"零租"_s);
            QCOMPARE(lend.m_slip.amounts, (QList<QPair<QString, QString>>{{u"收押金"_s, u"50.00 元"_s},
                                                                          {u"租金"_s, u"5.00 元"_s},
                                                                          {u"存押金"_s, u"45.00 元"_s}}));
        }
        {
            CReturnDlg back;
            back.OnInitDialog();
            back.Form()->filmEdit->setText(u"D1"_s);
            back.OnOK();
            QVERIFY(back.IsEnded());
            QCOMPARE(back.m_slip.title, u"还回"_s);
            QCOMPARE(back.m_slip.amounts, (QList<QPair<QString, QString>>{{u"退押金"_s, u"45.00 元"_s}}));
        }
        {
            CClientEditDlg edit;
            edit.m_strID = Db::Value(u"SELECT ID AS v FROM Client WHERE ClientID='C1'"_s);
            QVERIFY(edit.OnInitDialog());
            edit.Form()->balanceEdit->setText(u"170"_s);
            edit.OnOK();
            QVERIFY(edit.IsEnded());
            QCOMPARE(edit.m_slip.title, u"充值"_s);
            QCOMPARE(edit.m_slip.amounts, (QList<QPair<QString, QString>>{{u"充值"_s, u"100.00 元"_s},
                                                                          {u"余额"_s, u"170.00 元"_s}}));
        }
        const QStringList files = Receipts();
        QCOMPARE(files, (QStringList{u"2026-12-07 153000 借出 C1 V1《英雄》.pdf"_s,
                                     u"2026-12-07 153000 借出 零租 D1《无间道》.pdf"_s,
                                     u"2026-12-07 153000 充值 C1.pdf"_s,
                                     u"2026-12-07 153000 还回 零租 D1《无间道》.pdf"_s}));
        for (const QString& file : files)
            QCOMPARE(PdfPages(QDir(Receipt::Folder()).filePath(file)), 1);
        QCOMPARE(shop.boxes.Boxes().size(), 1); // the return's question
    }

    // The action is done: a slip that cannot be printed is said once, and the rental stays.
    void noPrinterIsSaidOnce() {
        DeskShop shop;
        ReceiptsOn(u"printer"_s);
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer");
        CLendDlg lend;
        LendAsClerk(lend, u"C1"_s, u"V1"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList{u"借出已完成,但小票没有打印:\n没有可用的打印机。"_s});
        QCOMPARE(Db::Count(u"Record WHERE FilmID='V1' AND ReturnDate=''"_s), 1);
    }

    // Kept in the shop's file; only an administrator saves them, from 设置.
    void settingsAreKeptForEveryDesk() {
        DeskShop shop;
        {
            CPriceSettingDlg prices;
            QVERIFY(prices.OnInitDialog());
            auto* button = prices.findChild<QPushButton*>(u"receiptButton"_s);
            QVERIFY(button && button->text() == u"小票(&T)..."_s);
        }
        {
            CReceiptSettingDlg settings;
            QVERIFY(settings.OnInitDialog());
            QVERIFY(!settings.m_receipts->isChecked());
            QVERIFY(settings.m_toPrinter->isChecked());
            settings.m_shopName->setText(u"  好运'影碟  "_s);
            settings.m_receipts->setChecked(true);
            settings.m_toPdf->setChecked(true);
            settings.OnOK();
            QVERIFY(settings.IsEnded());
        }
        QCOMPARE(COptionInfo::Get(COptionInfo::kShopName, QString()), u"好运'影碟"_s);
        QCOMPARE(COptionInfo::Get(COptionInfo::kReceipts, QString()), u"1"_s);
        QCOMPARE(COptionInfo::Get(COptionInfo::kReceiptTo, QString()), u"pdf"_s);
        const SignedIn clerk(u"小王"_s, u"操作员"_s);
        CReceiptSettingDlg look;
        QVERIFY(look.OnInitDialog());
        QCOMPARE(look.m_shopName->text(), u"好运'影碟"_s);
        QVERIFY(look.m_toPdf->isChecked());
        QVERIFY(!look.m_okButton->isEnabled());
    }

    // The slip prints what the shop's text can hold: a name with a character beyond it (an emoji)
    // is refused with the editors' prompt, its field selected, and nothing is saved.
    void shopNameTheSlipCannotPrintIsRefused() {
        DeskShop shop;
        QVERIFY(COptionInfo::Set(COptionInfo::kShopName, u"好运影碟"_s));
        CReceiptSettingDlg settings;
        settings.show();
        QVERIFY(settings.OnInitDialog());
        // Typed or pasted, the character does not go in.
        settings.m_shopName->insert(u"\U0001F3AC"_s);
        QCOMPARE(settings.m_shopName->text(), u"好运影碟"_s);
        // Put there some other way, it is refused at 确定.
        settings.m_shopName->setText(u"好运\U0001F3AC影碟"_s);
        settings.m_receipts->setChecked(true);
        settings.OnOK();
        QVERIFY(!settings.IsEnded());
        QCOMPARE(shop.boxes.Texts(), QStringList{u"不能保存字符“\U0001F3AC”，请换用其它字符。"_s});
        QCOMPARE(settings.focusWidget(), settings.m_shopName);
        QCOMPARE(COptionInfo::Get(COptionInfo::kShopName, QString()), u"好运影碟"_s);
        QCOMPARE(COptionInfo::Get(COptionInfo::kReceipts, QString()), QString());
    }
};
VORIX_TEST(ReceiptTest)
#include "tst_Receipt.moc"
