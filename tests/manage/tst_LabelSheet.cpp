#include "LabelScan.h"
#include "LabelShop.h"
#include "TestRegistry.h"

#include "base/UserSettings.h"
#include "data/CAdodc.h"
#include "data/COptionInfo.h"
#include "manage/CFilmManageDlg.h"
#include "manage/CLabelPrintDlg.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CSheetBox.h"
#include "toolkit/FilmLabel.h"
#include "toolkit/LabelText.h"
#include "ui_CFilmManageDlg.h"

#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Films F01… stored on 2026-03-01, the hard codes on 2026-03-02.
struct FilmLabels : LabelShop {
    explicit FilmLabels(int plain = 4) {
        for (int i = 1; i <= plain; ++i)
            AddFilm(u"F%1"_s.arg(i, 2, 10, QLatin1Char('0')), u"影片%1"_s.arg(i), u"DVD"_s, u"2026-03-01"_s);
        for (const QString& code : HardCodes())
            AddFilm(code, u"片名 "_s + code, u"VCD"_s, u"2026-03-02"_s);
    }
};

QStringList Codes(const CLabelPrintDlg& dlg) {
    QStringList codes;
    for (const LabelRows::Film& film : dlg.Films())
        codes << film.code;
    return codes;
}

// Opens the preview of the dialog and runs check on it.
void Preview(CLabelPrintDlg& dlg, std::function<void(CPrintPreview&)> check = {}) {
    WhilePreviewIsUp([check](CPrintPreview& preview) {
        if (check)
            check(preview);
    });
    dlg.OnPreview();
}
} // namespace

// The labels' films come from the window's pick, the day they were stored, or the whole catalogue,
// read on either engine; they start at the cell chosen on a partly used sheet; codes Code 128 cannot
// carry go as QR codes, and the preview names them.
class LabelSheetTest : public QObject {
    Q_OBJECT
private slots:
    void init() { UserSettings::Open()->clear(); }

    void filmsComeFromThePickTheDayOrAll() {
        FilmLabels shop;
        CFilmManageDlg window;
        window.OnInitDialog();
        CDataGrid* grid = window.Form()->grid;
        grid->clearSelection();
        // Newest first: the 2nd and 4th rows are the 20-byte code and the quote.
        grid->selectionModel()->select(grid->model()->index(1, 1),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        grid->selectionModel()->select(grid->model()->index(3, 1),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QStringList picked, onDay, all;
        QString pickText;
        const ModalScript script([&](CDialog& dialog) {
            auto& dlg = static_cast<CLabelPrintDlg&>(dialog);
            pickText = dlg.SelectedRadio()->text();
            QVERIFY(dlg.SelectedRadio()->isChecked());
            Preview(dlg);
            picked = Codes(dlg);
            dlg.DayEdit()->setDate(QDate(2026, 3, 1));
            QVERIFY(dlg.DayRadio()->isChecked());
            Preview(dlg);
            onDay = Codes(dlg);
            dlg.AllRadio()->setChecked(true);
            Preview(dlg);
            all = Codes(dlg);
            QCOMPARE(dlg.Placed().size(), all.size());
        });
        window.findChild<QPushButton*>(u"labelsButton"_s)->click();
        QVERIFY(pickText.contains(u"2 部"_s));
        QCOMPARE(picked, (QStringList{u"O'Neil-7"_s, u"ABCDEFGHIJ0123456789"_s}));
        QCOMPARE(onDay, (QStringList{u"F01"_s, u"F02"_s, u"F03"_s, u"F04"_s}));
        QCOMPARE(all.size(), 8);
        QCOMPARE(all.last(), u"大话西游01"_s);
        QVERIFY(shop.boxes.Boxes().isEmpty());
    }

    // Shift and Ctrl pick several films with the mouse; a Ctrl click takes one out again.
    void severalFilmsArePickedWithTheMouse() {
        FilmLabels shop;
        CFilmManageDlg window;
        window.OnInitDialog();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CDataGrid* grid = window.Form()->grid;
        const auto click = [grid](int row, Qt::KeyboardModifiers keys) {
            const QRect cell = grid->visualRect(grid->model()->index(row, 1));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, cell.center());
        };
        click(1, Qt::NoModifier);
        click(3, Qt::ShiftModifier);
        click(6, Qt::ControlModifier);
        QCOMPARE(grid->SelectedRows(), (QList<int>{1, 2, 3, 6}));
        click(2, Qt::ControlModifier);
        QCOMPARE(grid->SelectedRows(), (QList<int>{1, 3, 6}));
        QCOMPARE(window.DataControl()->CurrentRow(), 2); // 修改 acts on the row clicked last
        QList<RowKey> keys;
        const ModalScript script(
            [&](CDialog& dialog) { keys = static_cast<CLabelPrintDlg&>(dialog).m_selected; });
        window.findChild<QPushButton*>(u"labelsButton"_s)->click();
        QCOMPARE(keys.size(), 3);
        QCOMPARE(keys.first().Value(), 7); // newest first: row 1 is the seventh film
    }

    // Nothing picked: the whole catalogue is offered, the pick cannot be chosen.
    void withoutAPickAllFilmsAreOffered() {
        FilmLabels shop;
        CLabelPrintDlg dlg;
        dlg.OnInitDialog();
        QVERIFY(!dlg.SelectedRadio()->isEnabled());
        QVERIFY(dlg.AllRadio()->isChecked());
        dlg.DayEdit()->setDate(QDate(2025, 1, 1)); // no film stored that day
        dlg.OnPreview();
        QCOMPARE(shop.boxes.Texts(), QStringList{u"没有要打印标签的影片。"_s});
    }

    void partlyUsedSheetStartsAtTheChosenCell() {
        FilmLabels shop(20); // 24 films
        CLabelPrintDlg dlg;
        dlg.OnInitDialog();
        dlg.Sheet()->SetStartCell(4); // the fifth label of the sheet
        QCOMPARE(dlg.Sheet()->StartSpin()->value(), 5);
        int pages = 0;
        Preview(dlg, [&](CPrintPreview& preview) { pages = preview.View()->pageCount(); });
        QCOMPARE(pages, 2);
        QCOMPARE(dlg.Placed().size(), 24);
        QCOMPARE(dlg.Placed().first().page, 0);
        QCOMPARE(dlg.Placed().first().cell, 4);
        QCOMPARE(dlg.Placed().at(19).cell, 23);
        QCOMPARE(dlg.Placed().at(20).page, 1);
        QCOMPARE(dlg.Placed().at(20).cell, 0);
    }

    void codesCode128CannotCarryGoAsQrAndThePreviewSaysWhich() {
        FilmLabels shop;
        CLabelPrintDlg dlg;
        dlg.OnInitDialog();
        QString note;
        Preview(dlg, [&](CPrintPreview& preview) { note = preview.Note(); });
        QCOMPARE(dlg.QrCodes(), QStringList{u"大话西游01"_s});
        QVERIFY2(note.contains(u"二维码"_s) && note.contains(u"大话西游01"_s) && note.contains(u" 1 张"_s),
                 qPrintable(note));
        QVERIFY(!note.contains(u"O'Neil-7"_s));
        QCOMPARE(Barcode::KindFor(u"abc-xyz"_s), Barcode::Kind::Code128);
        QCOMPARE(Barcode::KindFor(u"é1"_s), Barcode::Kind::Qr);
    }

    // A title too long for its label loses whole characters from its end, never half of one.
    void titlesShortenByWholeCharacters() {
        QFont font;
        font.setPixelSize(40);
        const QFontMetricsF metrics(font);
        const QString wide = u"𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇𠀈𠀉"_s + u"e\u0301e\u0301e\u0301"_s; // surrogate pairs, marks
        for (double width = 30; width < metrics.horizontalAdvance(wide); width += 7) {
            const QString shortened = LabelText::Shorten(wide, metrics, width);
            QVERIFY(metrics.horizontalAdvance(shortened) <= width);
            if (shortened.isEmpty())
                continue;
            QVERIFY(shortened.endsWith(QChar(0x2026)));
            const QString kept = shortened.chopped(1);
            QVERIFY(wide.startsWith(kept));
            QVERIFY2(!kept.isEmpty() ? !kept.back().isHighSurrogate() : true, qPrintable(kept));
            QVERIFY(!wide.mid(kept.size()).startsWith(QChar(0x0301))); // a mark stays with its letter
        }
        QCOMPARE(LabelText::Shorten(u"英雄"_s, metrics, 1000), u"英雄"_s);
    }

    // Rows and columns with margins and gaps make the cells; a layout is kept for each printer, and
    // so are its offsets; a sheet whose labels come out too small is refused.
    void layoutsAreKeptPerPrinter() {
        FilmLabels shop;
        LabelSheet::Layout layout;
        layout.rows = 2;
        layout.columns = 3;
        layout.top = 10;
        layout.bottom = 7;
        layout.left = 5;
        layout.right = 5;
        layout.gapX = 2.5;
        layout.gapY = 4;
        QCOMPARE(LabelSheet::CellSize(layout), QSizeF(65, 138));
        QCOMPARE(LabelSheet::Cell(layout, 4), QRectF(5 + 67.5, 10 + 142, 65, 138));
        QCOMPARE(LabelSheet::CellSize(CLabelPrintDlg::DefaultLayout()), QSizeF(70, 36));

        LabelSheet::SaveLayout(u"labels"_s, u"Front desk/Zebra"_s, layout);
        LabelSheet::SaveOffset(u"Front desk/Zebra"_s, {1.5, -0.5});
        QCOMPARE(LabelSheet::LoadLayout(u"labels"_s, u"Front desk/Zebra"_s, {}).gapY, 4.0);
        QCOMPARE(LabelSheet::LoadLayout(u"labels"_s, u"PDF"_s, CLabelPrintDlg::DefaultLayout()).rows, 8);
        QCOMPARE(LabelSheet::LoadLayout(u"cards"_s, u"Front desk/Zebra"_s, {}).rows, 8);
        QCOMPARE(LabelSheet::LoadOffset(u"Front desk/Zebra"_s).down, -0.5);
        QCOMPARE(LabelSheet::LoadOffset(u"PDF"_s).right, 0.0);

        {
            CLabelPrintDlg dlg;
            dlg.OnInitDialog();
            QCOMPARE(dlg.Sheet()->PrinterKey(), u"PDF"_s);
            dlg.Sheet()->RowsSpin()->setValue(7);
            dlg.Sheet()->OffsetSpin(0)->setValue(-1.0);
            Preview(dlg);
        }
        CLabelPrintDlg again;
        again.OnInitDialog();
        QCOMPARE(again.Sheet()->RowsSpin()->value(), 7);
        QCOMPARE(again.Sheet()->OffsetSpin(0)->value(), -1.0);
        QVERIFY(again.Sheet()->SizeLine()->text().contains(u"每页 21 张"_s));

        again.Sheet()->RowsSpin()->setValue(40);
        again.Sheet()->ColumnsSpin()->setValue(20);
        again.OnPreview();
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        QVERIFY2(shop.boxes.Texts().first().contains(u"放不下"_s), qPrintable(shop.boxes.Texts().first()));
        QVERIFY(again.Placed().isEmpty());
    }

    // The dialog fits the smallest screen, names its fields for a screen reader, and Enter on a
    // focused button presses that button.
    void fitsTheScreenAndWorksFromTheKeyboard() {
        FilmLabels shop;
        CLabelPrintDlg dlg;
        dlg.OnInitDialog();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(dlg.width() <= 1024 && dlg.height() <= 768);
        QVERIFY(CDialog::ButtonsWithoutAutoDefault(dlg).isEmpty());
        for (QLabel* label : dlg.findChildren<QLabel*>()) {
            if (label->text().endsWith(u"："_s))
                QVERIFY2(label->buddy(), qPrintable(label->text()));
        }
        QVERIFY(dlg.PreviewButton()->isDefault());
        QVERIFY(!dlg.Sheet()->SizeLine()->accessibleName().isEmpty());
    }
};
VORIX_TEST(LabelSheetTest)

namespace {
const QString kShopName = u"光影音像店"_s;

// The label of a film in its cell on the page: its code read back from the cell's pixels, and its
// barcode where the layout puts it, to half a millimetre.
void ExpectLabel(const QImage& page, const LabelRows::Film& film, const QRectF& cell) {
    const Barcode::Kind kind = Barcode::KindFor(film.code);
    const QString type = kind == Barcode::Kind::Code128 ? u"CODE-128:"_s : u"QR-Code:"_s;
    const QStringList read = LabelScan::Decode(page, cell);
    QVERIFY2(read == QStringList{type + film.code},
             qPrintable(film.code + u" in "_s + LabelScan::Text(cell) + u" reads "_s + read.join(u'|')));
    const QRectF symbol = FilmLabel::SymbolRect(Barcode::Make(film.code, kind), cell, true);
    const QRectF ink = LabelScan::Ink(page, symbol.adjusted(-1, -1, 1, 1));
    QVERIFY2(LabelScan::Near(ink, symbol), qPrintable(film.code + u": ink "_s + LabelScan::Text(ink) +
                                                      u", layout "_s + LabelScan::Text(symbol)));
}
} // namespace

// The labels on paper: a PDF made into pixels gives back every film's code, in the cell the layout
// computes, on a whole sheet, a partly used one moved by the printer's offset, and a roll.
class LabelSheetPrintTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        UserSettings::Open()->clear(); // no layout or offset kept from an earlier case
        if (!LabelScan::ToolsPresent())
            QSKIP("pdftoppm and zbarimg (poppler-utils, zbar-tools) are not installed");
    }

    void everyLabelOfASheetScansAsItsFilm() {
        FilmLabels shop(20);
        QVERIFY(COptionInfo::Set(COptionInfo::kShopName, kShopName));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"labels.pdf"_s);
        CLabelPrintDlg dlg;
        dlg.OnInitDialog();
        Preview(dlg, [&](CPrintPreview& preview) { QVERIFY(SavePdf(preview, pdf)); });
        QCOMPARE(PdfPages(pdf), 1);
        const QImage page = LabelScan::Page(pdf, 1);
        QVERIFY(!page.isNull());
        QCOMPARE(dlg.Films().size(), 24);
        const LabelSheet::Layout layout = dlg.Sheet()->Layout();
        for (int i = 0; i < dlg.Films().size(); ++i) {
            ExpectLabel(page, dlg.Films().at(i), LabelSheet::Cell(layout, dlg.Placed().at(i).cell));
            if (QTest::currentTestFailed())
                return;
        }
    }

    void aPartlyUsedSheetStartsAtTheChosenCellMovedByTheOffset() {
        FilmLabels shop(0); // the four hard codes
        QVERIFY(COptionInfo::Set(COptionInfo::kShopName, kShopName));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"rest.pdf"_s);
        CLabelPrintDlg dlg;
        dlg.OnInitDialog();
        dlg.Sheet()->SetStartCell(10);
        dlg.Sheet()->OffsetSpin(0)->setValue(1.5);
        dlg.Sheet()->OffsetSpin(1)->setValue(-1.0);
        Preview(dlg, [&](CPrintPreview& preview) { QVERIFY(SavePdf(preview, pdf)); });
        QCOMPARE(PdfPages(pdf), 1);
        const QImage page = LabelScan::Page(pdf, 1);
        QVERIFY(!page.isNull());
        const LabelSheet::Layout layout = dlg.Sheet()->Layout();
        const QPointF offset(1.5, -1.0);
        for (int cell = 0; cell < 10; ++cell) // the used labels stay clean
            QVERIFY2(LabelScan::Ink(page, LabelSheet::Cell(layout, cell).translated(offset)).isEmpty(),
                     qPrintable(QString::number(cell)));
        for (int i = 0; i < 4; ++i)
            ExpectLabel(page, dlg.Films().at(i), LabelSheet::Cell(layout, 10 + i).translated(offset));
        QVERIFY(LabelScan::Ink(page, LabelSheet::Cell(layout, 14).translated(offset)).isEmpty());
    }

    void aRollPrintsOneLabelAPage() {
        FilmLabels shop(1);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"roll.pdf"_s);
        CLabelPrintDlg dlg;
        dlg.OnInitDialog();
        dlg.Sheet()->SingleRadio()->setChecked(true);
        dlg.Sheet()->SetStartCell(5); // a roll has no used cells
        Preview(dlg, [&](CPrintPreview& preview) { QVERIFY(SavePdf(preview, pdf)); });
        QCOMPARE(PdfPages(pdf), 5);
        const QImage page = LabelScan::Page(pdf, 3);
        // The PDF's page is 40 × 30 mm to the whole point (0.35 mm).
        QVERIFY(std::abs(page.width() - 40 * LabelScan::kDpi / 25.4) <= 5);
        QVERIFY(std::abs(page.height() - 30 * LabelScan::kDpi / 25.4) <= 5);
        const LabelRows::Film film = dlg.Films().at(2);
        QCOMPARE(film.code, u"abc-xyz"_s);
        const QRectF cell(0, 0, 40, 30);
        QCOMPARE(LabelScan::Decode(page, cell), QStringList{u"CODE-128:abc-xyz"_s});
        const QRectF symbol =
            FilmLabel::SymbolRect(Barcode::Make(film.code, Barcode::Kind::Code128), cell, false);
        const QRectF ink = LabelScan::Ink(page, symbol.adjusted(-1, -1, 1, 1));
        QVERIFY2(LabelScan::Near(ink, symbol),
                 qPrintable(LabelScan::Text(ink) + u" "_s + LabelScan::Text(symbol)));
    }
};
VORIX_TEST_ON_FILE_ONLY(LabelSheetPrintTest)

#include "tst_LabelSheet.moc"
