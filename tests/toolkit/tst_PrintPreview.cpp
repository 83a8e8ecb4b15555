#include "Shop.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "toolkit/CDataGrid.h"
#include "toolkit/CPrintPreview.h"
#include "toolkit/GridPrint.h"
#include "toolkit/SaveDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// A home folder of the test's own, with or without a Documents folder in it.
class Home {
public:
    explicit Home(bool documents) : m_previous(qgetenv("HOME")) {
        qputenv("HOME", m_dir.path().toUtf8());
        if (documents)
            QDir(m_dir.path()).mkdir(u"Documents"_s);
    }
    ~Home() { qputenv("HOME", m_previous); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

// A preview of the clients, as a window's 打印 opens it.
struct ClientPreview {
    ClientPreview() : preview(&printer, u"客户管理"_s) {
        QObject::connect(&preview, &CPrintPreview::paintRequested, &preview, [](QPrinter* target) {
            QString error;
            GridPrint::Render(target, u"SELECT ClientID, PhoneNum FROM Client"_s,
                              {{0, u"编号"_s, 40, false}, {1, u"电话"_s, 60, false}}, u"客户管理"_s, &error);
        });
    }
    QPrinter printer{QPrinter::HighResolution};
    CPrintPreview preview;
};
} // namespace

// The preview's 打印 and 导出PDF are in view on the smallest screen; the files of 导出 and 导出PDF go
// to the user's Documents folder first, then where he last saved one.
class PrintPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void actionsAreInViewOnTheSmallestScreen() {
        TempShop shop;
        ClientPreview list;
        list.preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list.preview));
        QVERIFY(list.preview.width() <= 1024 && list.preview.height() <= 768);
        QVERIFY(list.preview.minimumSizeHint().width() <= 1024);
        for (QPushButton* button : {list.preview.PrintButton(), list.preview.PdfButton()}) {
            QVERIFY(button->isVisible());
            QVERIFY(button->autoDefault());
            const QRect where(button->mapTo(&list.preview, QPoint(0, 0)), button->size());
            QVERIFY2(list.preview.rect().contains(where), qPrintable(button->text()));
            QVERIFY(button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&')) <=
                    button->width());
        }
        QVERIFY(list.preview.PrintButton()->text().startsWith(u"打印"_s));
        QVERIFY(list.preview.PdfButton()->text().startsWith(u"导出PDF"_s));
        QCOMPARE(list.preview.View()->pageCount(), 1);
    }

    // The file dialog opens in Documents (the home folder when there is none); a file saved elsewhere
    // makes that folder the next start, until it is gone.
    void filesGoToDocumentsThenWhereLastSaved() {
        TempShop shop;
        BoxRecorder boxes;
        {
            const Home bare(false);
            QCOMPARE(SaveDialog::StartPath(u"a.csv"_s), bare.Path(u"a.csv"_s));
        }
        const Home home(true);
        QCOMPARE(SaveDialog::StartPath(u"客户管理.pdf"_s), home.Path(u"Documents/客户管理.pdf"_s));
        // The dialog itself starts there.
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                shown = dialog->selectedFiles().value(0);
                dialog->reject();
            }
        });
        QCOMPARE(SaveDialog::Ask(nullptr, u"导出PDF"_s, u"客户管理.pdf"_s, u"PDF 文件 (*.pdf)"_s), QString());
        QCOMPARE(shown, home.Path(u"Documents/客户管理.pdf"_s));

        QVERIFY(QDir(home.Path(QString())).mkdir(u"账"_s));
        const QString pdf = home.Path(u"账/十二月.pdf"_s);
        SaveDialog::SetChooser([&](QWidget*, const QString& name) {
            shown = name;
            return pdf;
        });
        ClientPreview list;
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID, PhoneNum) VALUES ('C1', '13800138000')"_s));
        QCOMPARE(list.preview.OnPdf(), pdf);
        SaveDialog::SetChooser(nullptr);
        QCOMPARE(shown, u"客户管理.pdf"_s);
        QCOMPARE(PdfPages(pdf), 1);
        QCOMPARE(list.printer.outputFileName(), QString()); // the printer is as it was
        QCOMPARE(QDir(home.Path(u"账"_s)).entryList(QDir::Files), QStringList{u"十二月.pdf"_s});
        QCOMPARE(SaveDialog::StartPath(u"b.csv"_s), home.Path(u"账/b.csv"_s));
        QVERIFY(QDir(home.Path(u"账"_s)).removeRecursively());
        QCOMPARE(SaveDialog::StartPath(u"b.csv"_s), home.Path(u"Documents/b.csv"_s));
        QCOMPARE(boxes.Texts(), QStringList());
    }

    // A folder that cannot be written keeps what was there and says so.
    void pdfThatCannotBeWrittenSaysSo() {
        TempShop shop;
        BoxRecorder boxes;
        const QString pdf = shop.Dir() + u"/没有的文件夹/a.pdf"_s;
        SaveDialog::SetChooser([&](QWidget*, const QString&) { return pdf; });
        ClientPreview list;
        QCOMPARE(list.preview.OnPdf(), QString());
        SaveDialog::SetChooser(nullptr);
        QCOMPARE(boxes.Texts(), QStringList{u"无法写入\n"_s + pdf});
    }
};
VORIX_TEST_ON_FILE_ONLY(PrintPreviewTest)
#include "tst_PrintPreview.moc"
