#include "LabelScan.h"
#include "LabelShop.h"
#include "TestRegistry.h"

#include "base/UserSettings.h"
#include "data/COptionInfo.h"
#include "manage/CClientManageDlg.h"
#include "manage/CMemberCardDlg.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CSheetBox.h"
#include "toolkit/MemberCard.h"
#include "ui_CClientManageDlg.h"

#include <QCheckBox>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Clients C01… and the hard numbers, each with a phone.
struct CardShop : LabelShop {
    explicit CardShop(int plain = 2) {
        for (int i = 1; i <= plain; ++i)
            AddClient(u"C%1"_s.arg(i, 2, 10, QLatin1Char('0')),
                      u"1390000%1"_s.arg(i, 4, 10, QLatin1Char('0')));
        for (const QString& number : HardCodes())
            AddClient(number, u"021-555"_s);
    }
};

QStringList Numbers(const CMemberCardDlg& dlg) {
    QStringList numbers;
    for (const LabelRows::Client& client : dlg.Clients())
        numbers << client.number;
    return numbers;
}

// Picks the grid's rows, then opens 打印会员卡 and runs check on its dialog.
void OpenCards(CClientManageDlg& window, const QList<int>& rows, std::function<void(CMemberCardDlg&)> check) {
    CDataGrid* grid = window.Form()->grid;
    while (grid->model()->canFetchMore(QModelIndex()))
        grid->model()->fetchMore(QModelIndex());
    for (const int row : rows)
        grid->selectionModel()->select(grid->model()->index(row, 1),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const ModalScript script([check](CDialog& dialog) { check(static_cast<CMemberCardDlg&>(dialog)); });
    window.findChild<QPushButton*>(u"cardsButton"_s)->click();
}

void Preview(CMemberCardDlg& dlg, std::function<void(CPrintPreview&)> check = {}) {
    WhilePreviewIsUp([check](CPrintPreview& preview) {
        if (check)
            check(preview);
    });
    dlg.OnPreview();
}
} // namespace

// Cards for the clients picked in the client window, read on either engine: numbers Code 128 cannot
// carry go as the QR code alone, and the preview says so; a card is a bank card's size.
class MemberCardTest : public QObject {
    Q_OBJECT
private slots:
    void init() { UserSettings::Open()->clear(); }

    void cardsComeFromThePickedClients() {
        CardShop shop;
        CClientManageDlg window;
        window.OnInitDialog();
        QStringList numbers;
        QString phone;
        // Newest first: the rows of 大话西游01 and O'Neil-7.
        OpenCards(window, {0, 3}, [&](CMemberCardDlg& dlg) {
            Preview(dlg);
            numbers = Numbers(dlg);
            phone = dlg.Clients().value(0).phone;
            QCOMPARE(dlg.Placed().size(), 2);
            QCOMPARE(dlg.QrOnly(), QStringList{u"大话西游01"_s});
        });
        QCOMPARE(numbers, (QStringList{u"O'Neil-7"_s, u"大话西游01"_s}));
        QCOMPARE(phone, u"021-555"_s);
        QVERIFY(shop.boxes.Boxes().isEmpty());
    }

    void nobodyPickedIsRefused() {
        CardShop shop;
        CClientManageDlg window;
        window.OnInitDialog();
        window.Form()->grid->clearSelection();
        OpenCards(window, {}, [&](CMemberCardDlg& dlg) { dlg.OnPreview(); });
        QCOMPARE(shop.boxes.Texts(), QStringList{u"请先在客户列表中选中要打印会员卡的客户。"_s});
    }

    void thePreviewSaysWhichCardsHaveTheQrCodeAlone() {
        CardShop shop;
        CMemberCardDlg dlg;
        dlg.m_selected = {1, 2, 6};
        dlg.OnInitDialog();
        QString note;
        int pages = 0;
        Preview(dlg, [&](CPrintPreview& preview) {
            note = preview.Note();
            pages = preview.View()->pageCount();
        });
        QCOMPARE(pages, 1);
        QVERIFY2(note.contains(u"只印二维码"_s) && note.contains(u"大话西游01"_s), qPrintable(note));
        QVERIFY(!note.contains(u"C01"_s));
    }

    // Ten cards of 85.6 × 54 mm to an A4 sheet; the phone is printed when the shop wants it, and
    // that is kept.
    void aSheetHoldsTenCardsAndThePhoneChoiceIsKept() {
        CardShop shop;
        QCOMPARE(LabelSheet::CellSize(CMemberCardDlg::DefaultLayout()), MemberCard::Size());
        QCOMPARE(LabelSheet::PerPage(CMemberCardDlg::DefaultLayout()), 10);
        {
            CMemberCardDlg dlg;
            dlg.m_selected = {1};
            dlg.OnInitDialog();
            QVERIFY(!dlg.PhoneCheck()->isChecked());
            dlg.PhoneCheck()->setChecked(true);
            Preview(dlg);
        }
        CMemberCardDlg again;
        again.OnInitDialog();
        QVERIFY(again.PhoneCheck()->isChecked());
        QVERIFY(CDialog::ButtonsWithoutAutoDefault(again).isEmpty());
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QVERIFY(again.width() <= 1024 && again.height() <= 768);
    }
};
VORIX_TEST(MemberCardTest)

namespace {
// A card in its cell: the number read back from the cell's pixels, by Code 128 and by QR (by QR
// alone when Code 128 cannot carry it), each symbol where the card's layout puts it.
void ExpectCard(const QImage& page, const QString& number, const QRectF& cell) {
    const MemberCard::Symbols symbols = MemberCard::Make(number);
    QStringList expected{u"QR-Code:"_s + number};
    if (symbols.code128.IsMade())
        expected.prepend(u"CODE-128:"_s + number);
    QCOMPARE(LabelScan::Decode(page, cell), expected);
    QList<QRectF> places{MemberCard::QrRect(symbols.qr, cell)};
    if (symbols.code128.IsMade())
        places << MemberCard::Code128Rect(symbols.code128, cell);
    for (const QRectF& symbol : places) {
        const QRectF ink = LabelScan::Ink(page, symbol.adjusted(-1, -1, 1, 1));
        QVERIFY2(LabelScan::Near(ink, symbol), qPrintable(number + u": ink "_s + LabelScan::Text(ink) +
                                                          u", layout "_s + LabelScan::Text(symbol)));
    }
}
} // namespace

// The cards on paper: a PDF made into pixels gives back every client's number from its card.
class MemberCardPrintTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        UserSettings::Open()->clear(); // no layout or offset kept from an earlier case
        if (!LabelScan::ToolsPresent())
            QSKIP("pdftoppm and zbarimg (poppler-utils, zbar-tools) are not installed");
    }

    void everyCardOfASheetScansAsItsClient() {
        CardShop shop(6); // ten clients
        QVERIFY(COptionInfo::Set(COptionInfo::kShopName, u"光影音像店"_s));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"cards.pdf"_s);
        CMemberCardDlg dlg;
        for (int key = 1; key <= 10; ++key)
            dlg.m_selected << key;
        dlg.OnInitDialog();
        dlg.PhoneCheck()->setChecked(true);
        Preview(dlg, [&](CPrintPreview& preview) { QVERIFY(SavePdf(preview, pdf)); });
        QCOMPARE(PdfPages(pdf), 1);
        const QImage page = LabelScan::Page(pdf, 1);
        QVERIFY(!page.isNull());
        QCOMPARE(dlg.Clients().size(), 10);
        const LabelSheet::Layout layout = dlg.Sheet()->Layout();
        for (int i = 0; i < 10; ++i) {
            ExpectCard(page, dlg.Clients().at(i).number, LabelSheet::Cell(layout, dlg.Placed().at(i).cell));
            if (QTest::currentTestFailed())
                return;
        }
    }

    void aCardPrinterTakesOneCardAPage() {
        CardShop shop(0);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"one.pdf"_s);
        CMemberCardDlg dlg;
        dlg.m_selected = {1, 2, 3, 4};
        dlg.OnInitDialog();
        dlg.Sheet()->SingleRadio()->setChecked(true);
        Preview(dlg, [&](CPrintPreview& preview) { QVERIFY(SavePdf(preview, pdf)); });
        QCOMPARE(PdfPages(pdf), 4);
        for (int i = 0; i < 4; ++i) {
            const QImage page = LabelScan::Page(pdf, i + 1);
            QVERIFY(std::abs(page.width() - 85.6 * LabelScan::kDpi / 25.4) <= 5); // to the whole point
            ExpectCard(page, dlg.Clients().at(i).number, QRectF(QPointF(0, 0), MemberCard::Size()));
        }
    }
};
VORIX_TEST_ON_FILE_ONLY(MemberCardPrintTest)

#include "tst_MemberCard.moc"
