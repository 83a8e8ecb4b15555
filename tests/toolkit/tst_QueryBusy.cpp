#include "Shop.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "toolkit/CQueryBusy.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

class QueryBusyTest : public QObject {
    Q_OBJECT
private slots:
    // A query that would never end: the busy cursor shows, Escape stops it without a message, and
    // the data control's connection serves the next query.
    void escapeCancelsALongQuery() {
        TempShop shop;
        BoxRecorder boxes;
        CAdodc adodc;
        new CQueryBusy(&adodc);
        adodc.SetRecordSource(QStringLiteral("SELECT 'shown' AS x"));
        adodc.Refresh();
        QWidget window;
        window.show();

        bool busyCursor = false;
        bool clicked = false;
        QTimer::singleShot(0, &window, [&] {
            busyCursor =
                QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            // The rows shown before stay while the engine works.
            QCOMPARE(adodc.Text(0, 0), QStringLiteral("shown"));
            QTest::mouseClick(&window, Qt::LeftButton); // held back
            QCoreApplication::postEvent(&window,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        window.installEventFilter(this);
        m_clicked = &clicked;
        adodc.SetRecordSource(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i FROM n WHERE i = 0"));
        adodc.Refresh();

        QVERIFY(busyCursor);
        QVERIFY(!clicked);
        QVERIFY(adodc.WasInterrupted());
        QVERIFY(adodc.IsEOF());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(boxes.Texts(), QStringList());
        adodc.SetRecordSource(QStringLiteral("SELECT OptName FROM Operator"));
        adodc.Refresh();
        QCOMPARE(adodc.Text(0, 0), QStringLiteral("Admin"));
        QVERIFY(!adodc.WasInterrupted());
        m_clicked = nullptr;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (m_clicked && event->type() == QEvent::MouseButtonPress)
            *m_clicked = true;
        return false;
    }

private:
    bool* m_clicked = nullptr;
};
VORIX_TEST(QueryBusyTest)
#include "tst_QueryBusy.moc"
