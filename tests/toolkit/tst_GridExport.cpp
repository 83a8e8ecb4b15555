#include "Shop.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CPrintPreview.h"
#include "toolkit/GridExport.h"
#include "toolkit/GridPrint.h"
#include "toolkit/SaveDialog.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// A list longer than anyone waits for: only 取消 ends its export or its preview.
const QString kEndless = u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<100000000) "
                         "SELECT i AS 编号, '第'||i||'行' AS 名字 FROM n"_s;

// Presses 取消 of the progress dialog as soon as the user would see it.
void CancelProgressWhenShown(QObject* context) {
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(widget);
            if (progress && progress->isVisible()) {
                if (auto* cancel = progress->findChild<QPushButton*>())
                    cancel->click();
                poll->deleteLater();
            }
        }
    });
    poll->start(20);
}

struct Grid {
    explicit Grid(const QString& sql) {
        adodc.SetRecordSource(sql);
        adodc.Refresh();
        grid.SetDataSource(&adodc);
        grid.show();
    }
    CAdodc adodc;
    CDataGrid grid;
};
} // namespace

// What the window's 导出 and 打印 do while they work: the user may stop them, and a long list is
// cut where the preview holds it, saying so.
class GridExportTest : public QObject {
    Q_OBJECT
private slots:
    void cancelInTheProgressLeavesNoFile() {
        TempShop shop;
        BoxRecorder boxes;
        QTemporaryDir folder;
        const QString path = folder.filePath(u"长.csv"_s);
        SaveDialog::SetChooser([&](QWidget*, const QString&) { return path; });
        Grid list(kEndless);
        CancelProgressWhenShown(&list.grid);
        GridExport::Run(&list.grid, list.adodc, list.grid, u"长"_s);
        SaveDialog::SetChooser(nullptr);
        QCOMPARE(boxes.Texts(), QStringList{u"导出已取消,没有写入文件。"_s});
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void folderThatCannotBeWrittenSaysSo() {
        TempShop shop;
        BoxRecorder boxes;
        const QString path = shop.Dir() + u"/没有的文件夹/a.csv"_s;
        SaveDialog::SetChooser([&](QWidget*, const QString&) { return path; });
        Grid list(u"SELECT ClientID AS 编号 FROM Client"_s);
        GridExport::Run(&list.grid, list.adodc, list.grid, u"客户"_s);
        SaveDialog::SetChooser(nullptr);
        QCOMPARE(boxes.Boxes().size(), 1);
        QVERIFY2(boxes.Texts().at(0).startsWith(u"无法导出到\n"_s + path + u"\n\n无法在这里建立文件:"_s),
                 qPrintable(boxes.Texts().at(0)));
        QVERIFY(boxes.Texts().at(0).endsWith(u"原有的同名文件没有改动。"_s));
    }

    void cancelWhileThePreviewLaysOutClosesIt() {
        TempShop shop;
        BoxRecorder boxes;
        Grid list(kEndless);
        CancelProgressWhenShown(&list.grid);
        GridPrint::Preview(&list.grid, list.adodc, list.grid, u"长"_s, 1 << 30); // returns once closed
        QCOMPARE(boxes.Texts(), QStringList());
    }

    void previewOfAListLongerThanItHoldsSaysSo() {
        TempShop shop;
        BoxRecorder boxes;
        Grid list(kEndless);
        // Closes the preview once it has told of the cut.
        QTimer close;
        QObject::connect(&close, &QTimer::timeout, &close, [&] {
            if (boxes.Boxes().isEmpty())
                return;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* preview = qobject_cast<CPrintPreview*>(widget))
                    preview->reject();
            }
        });
        close.start(50);
        GridPrint::Preview(&list.grid, list.adodc, list.grid, u"长"_s);
        QCOMPARE(
            boxes.Texts(),
            QStringList{u"这份清单超过 %1 页,只预览和打印前 %1 页。\n要全部的行,请先筛选,或用“导出”。"_s.arg(
                GridPrint::kMaxPreviewPages)});
    }
};
VORIX_TEST(GridExportTest)
#include "tst_GridExport.moc"
