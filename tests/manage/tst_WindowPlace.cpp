#include "Shop.h"
#include "TestRegistry.h"

#include "base/UserSettings.h"
#include "manage/CClientManageDlg.h"
#include "manage/COutListDlg.h"

#include <QScreen>
#include <QSettings>
#include <QTest>

#include "toolkit/CDataGrid.h"
#include "ui_CClientManageDlg.h"

#include <QHeaderView>

// The grid windows come back where the user left them, each class on its own, and never off the
// screen.
class WindowPlaceTest : public QObject {
    Q_OBJECT
private slots:
    void init() { UserSettings::Open()->clear(); }

    void windowComesBackWhereItWasLeft() {
        TempShop shop;
        BoxRecorder boxes;
        const QRect left(10, 50, 780, 420);
        {
            CClientManageDlg clients;
            clients.OnInitDialog();
            clients.show();
            QVERIFY(QTest::qWaitForWindowExposed(&clients));
            clients.setGeometry(left);
            clients.hide();
        }
        CClientManageDlg again;
        again.OnInitDialog();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.geometry(), left);
        // Another window keeps its own size.
        COutListDlg out;
        out.OnInitDialog();
        out.show();
        QVERIFY(QTest::qWaitForWindowExposed(&out));
        QVERIFY(out.size() != left.size());
        QCOMPARE(boxes.Texts(), QStringList());
    }

    void placeOffTheScreenComesBackOntoIt() {
        TempShop shop;
        BoxRecorder boxes;
        {
            CClientManageDlg clients;
            clients.OnInitDialog();
            clients.show();
            QVERIFY(QTest::qWaitForWindowExposed(&clients));
            clients.setGeometry(5000, 4000, 780, 400); // a screen since unplugged
            clients.hide();
        }
        CClientManageDlg again;
        again.OnInitDialog();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        const QRect screen = again.screen()->availableGeometry();
        QVERIFY2(screen.contains(again.geometry().topLeft()),
                 qPrintable(QStringLiteral("%1,%2").arg(again.x()).arg(again.y())));
        QCOMPARE(again.size(), QSize(780, 400));
    }

    // A column the user widened keeps its width through a search and the next opening of the
    // window; 恢复默认列宽 gives the window's own width back. The grid's own sizing is not the user's.
    void columnWidthsTheUserGaveAreKept() {
        TempShop shop;
        BoxRecorder boxes;
        int own = 0;
        {
            CClientManageDlg clients;
            clients.OnInitDialog();
            clients.show();
            QVERIFY(QTest::qWaitForWindowExposed(&clients));
            CDataGrid* grid = clients.Form()->grid;
            clients.resize(clients.width() + 80, clients.height()); // the last column fills
            clients.OnSearch();
            QCOMPARE(grid->UserWidths(), (QMap<QString, int>{}));
            own = grid->columnWidth(2);
            grid->horizontalHeader()->resizeSection(2, own + 57); // as a drag of the edge does
            clients.OnSearch();
            QCOMPARE(grid->columnWidth(2), own + 57);
            clients.hide();
        }
        CClientManageDlg again;
        again.OnInitDialog();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        CDataGrid* grid = again.Form()->grid;
        QCOMPARE(grid->columnWidth(2), own + 57);
        QCOMPARE(grid->UserWidths().size(), 1);
        grid->ResetUserWidths();
        QCOMPARE(grid->columnWidth(2), own);
        again.hide();
        QVERIFY(!UserSettings::Open()->contains(CBrowseDlg::ColumnsKey("CClientManageDlg")));
        QCOMPARE(boxes.Texts(), QStringList());
    }
};
VORIX_TEST(WindowPlaceTest)
#include "tst_WindowPlace.moc"
