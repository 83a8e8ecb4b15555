#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

using namespace Shell;

// A day at the counter: an operator logs in, lends a film per day with Ctrl+B, exchanges it with
// Ctrl+S, takes it back with Ctrl+R, and then lends it on the monthly plan.
class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void lendExchangeReturnThroughTheKeys() {
        TempShop shop;
        BoxRecorder boxes;
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('小王','8888','操作员')")));
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,FilmName,Type) VALUES('V1','英雄','VCD')")));
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,FilmName,Type) VALUES('D1','无间道','DVD')")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Client (ClientID,Balance) VALUES('C1',100)")));

        Frame frame(LoginAs(QStringLiteral("小王"), QStringLiteral("8888")));
        QVERIFY(frame.ShowActive());
        auto press = [&](Qt::Key key, CDialog::ModalRunner fill) {
            ModalScript script(std::move(fill));
            QTest::keyClick(frame.get(), key, Qt::ControlModifier);
        };

        press(Qt::Key_B, [](CDialog& d) {
            auto& lend = dynamic_cast<CLendDlg&>(d);
            lend.Form()->typeCombo->setCurrentIndex(1);
            TypeText(lend.Form()->filmEdit, QStringLiteral("V1"));
            lend.Form()->depositEdit->clear();
            TypeText(lend.Form()->depositEdit, QStringLiteral("20"));
            QTest::keyClick(lend.Form()->depositEdit, Qt::Key_Return); // Enter presses "确定"
            QVERIFY(lend.IsEnded());
        });
        QCOMPARE(Db::Value(QStringLiteral(
                     "SELECT FilmID||Type||Foregift||OptUser AS v FROM Record WHERE ReturnDate=''")),
                 QStringLiteral("V1零租17.0小王"));

        press(Qt::Key_S, [](CDialog& d) {
            auto& ex = dynamic_cast<CExchangeDlg&>(d);
            TypeText(ex.Form()->oldFilmEdit, QStringLiteral("V1"));
            TypeText(ex.Form()->newFilmEdit, QStringLiteral("D1"));
            QTest::mouseClick(ex.Form()->okButton, Qt::LeftButton);
            QVERIFY(ex.IsEnded());
        });
        QCOMPARE(Db::Value(QStringLiteral("SELECT FilmID AS v FROM Record WHERE ReturnDate=''")),
                 QStringLiteral("D1"));

        press(Qt::Key_R, [](CDialog& d) {
            auto& ret = dynamic_cast<CReturnDlg&>(d);
            TypeText(ret.Form()->filmEdit, QStringLiteral("D1"));
            QTest::mouseClick(ret.Form()->okButton, Qt::LeftButton);
            QVERIFY(ret.IsEnded());
        });
        QCOMPARE(boxes.Texts(),
                 QStringList({QStringLiteral("旧片编号:  V1\n旧片名字:  英雄\n新片编号:  D1\n新片名字:  "
                                             "无间道\n\n以上信息是否正确,请确认?"),
                              QStringLiteral("租借类型:  零租\n影片编号:  D1\n影片名字:  无间道\n押金找回:  "
                                             "17.00 元\n\n以上信息是否正确,请确认?")}));
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ReturnDate=''")), 0);
        QCOMPARE(Db::Value(QStringLiteral("SELECT ReturnDate||OptUser AS v FROM Record")),
                 QStringLiteral("2026-12-07小王"));

        press(Qt::Key_B, [](CDialog& d) {
            auto& lend = dynamic_cast<CLendDlg&>(d);
            TypeText(lend.Form()->clientEdit, QStringLiteral("C1"));
            TypeText(lend.Form()->filmEdit, QStringLiteral("D1"));
            QTest::mouseClick(lend.Form()->okButton, Qt::LeftButton);
            QVERIFY(lend.IsEnded());
        });
        QCOMPARE(Db::Value(QStringLiteral("SELECT Balance AS v FROM Client")), QStringLiteral("60.0"));
        QCOMPARE(Db::Value(QStringLiteral("SELECT group_concat(FilmID||Degree) AS v FROM Film")),
                 QStringLiteral("V11,D11"));
        QVERIFY(!frame.Gone());
    }
};
VORIX_TEST(EndToEndTest)
#include "tst_EndToEnd.moc"
