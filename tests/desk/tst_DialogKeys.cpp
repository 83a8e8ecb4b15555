#include "DeskFixture.h"
#include "TestRegistry.h"

#include "access/CLoginDlg.h"
#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "desk/CReturnDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {
std::unique_ptr<CDialog> OpenForm(const QString& form) {
    if (form == QLatin1String("lend"))
        return std::make_unique<CLendDlg>();
    if (form == QLatin1String("return"))
        return std::make_unique<CReturnDlg>();
    if (form == QLatin1String("exchange"))
        return std::make_unique<CExchangeDlg>();
    if (form == QLatin1String("prices"))
        return std::make_unique<CPriceSettingDlg>();
    return std::make_unique<CLoginDlg>();
}

// Everything a confirmed form may change: the rows of every table and the session.
QString State() {
    return DeskShop::Snapshot() + QLatin1Char('|') +
           Db::Value(QStringLiteral("SELECT group_concat(MonthVcd||' '||MonthDvd||' '||DayVcd||' '||DayDvd) "
                                    "AS v FROM Setting")) +
           QLatin1Char('|') +
           Db::Value(
               QStringLiteral("SELECT group_concat(ID||OptName||OptPwd||Type, ',') AS v FROM Operator")) +
           QLatin1Char('|') + Session::Current().UserName() + QLatin1Char('/') +
           Session::Current().UserType();
}

struct Run {
    int result = 0;
    QString focusAtKey; // object name of the widget the key went to
    bool leftOpen = false;
};

// Opens the form with DoModal, as the counter does, so that Qt's own handling of Enter and Escape
// applies. Inside the modal loop the entries ("objectName=text") are typed, Tab moves the focus to
// the named button (without one it stays in the last entry) and the key is pressed. A form left
// open is closed so that the test goes on.
Run Drive(CDialog& dlg, const QStringList& entries, const QString& button, Qt::Key key) {
    Run run;
    QTimer::singleShot(0, &dlg, [&] {
        if (QTest::qWaitForWindowActive(&dlg)) {
            for (const QString& entry : entries) {
                auto* edit = dlg.findChild<QLineEdit*>(entry.section(QLatin1Char('='), 0, 0));
                edit->clear();
                TypeText(edit, entry.section(QLatin1Char('='), 1));
            }
            auto* target = button.isEmpty() ? nullptr : dlg.findChild<QPushButton*>(button);
            for (int i = 0; target && i < 20 && QApplication::focusWidget() != target; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QWidget* focus = QApplication::focusWidget()) {
                run.focusAtKey = focus->objectName();
                QTest::keyClick(focus, key);
            }
        }
        run.leftOpen = dlg.isVisible();
        if (run.leftOpen)
            dlg.done(QDialog::Rejected);
    });
    run.result = dlg.DoModal();
    return run;
}
} // namespace

class DialogKeysTest : public QObject {
    Q_OBJECT
private slots:
    void keysOnAFilledForm_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("confirms");
        // Each form filled so that its OK succeeds, as "Enter on 确定" shows.
        const QList<std::pair<const char*, QStringList>> forms = {
            {"lend", {QStringLiteral("clientEdit=C1"), QStringLiteral("filmEdit=V1")}},
            {"return", {QStringLiteral("filmEdit=D1")}},
            {"exchange", {QStringLiteral("oldFilmEdit=D1"), QStringLiteral("newFilmEdit=V1")}},
            {"prices",
             {QStringLiteral("monthVcdEdit=31"), QStringLiteral("monthDvdEdit=41"),
              QStringLiteral("dayVcdEdit=4"), QStringLiteral("dayDvdEdit=6")}},
            {"login", {QStringLiteral("nameEdit=clerk"), QStringLiteral("passwordEdit=pw")}},
        };
        for (const auto& [form, entries] : forms) {
            QTest::addRow("%s: Enter on 取消", form)
                << form << entries << "cancelButton" << int(Qt::Key_Return) << false;
            QTest::addRow("%s: Escape", form) << form << entries << "" << int(Qt::Key_Escape) << false;
            QTest::addRow("%s: Enter on 确定", form)
                << form << entries << "okButton" << int(Qt::Key_Return) << true;
        }
    }
    void keysOnAFilledForm() {
        QFETCH(QString, form);
        QFETCH(QStringList, entries);
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(bool, confirms);
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("D1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('clerk','pw','操作员')")));
        const QString before = State();
        std::unique_ptr<CDialog> dlg = OpenForm(form);
        const Run run = Drive(*dlg, entries, button, Qt::Key(key));
        if (!button.isEmpty())
            QCOMPARE(run.focusAtKey, button);
        QVERIFY(!run.leftOpen);
        if (confirms) {
            QCOMPARE(run.result, int(IDOK));
            QVERIFY(State() != before);
            return;
        }
        QCOMPARE(run.result, int(IDCANCEL));
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QCOMPARE(State(), before);
    }
};
VORIX_TEST(DialogKeysTest)
#include "tst_DialogKeys.moc"
