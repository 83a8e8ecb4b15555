#include "Shop.h"
#include "TestRegistry.h"

#include "base/Prompter.h"
#include "toolkit/Interface.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
// A button's text without its mnemonic: "是(&Y)" reads "是".
QString Plain(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\(&.\\)"))).remove(QLatin1Char('&'));
}

// What the user saw in the real box before answering it.
struct Seen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // sorted
    QString defaultButton;
    bool shown = false;
    bool leftOpen = false;
};

// Shows a box through the installed prompter; inside the box's modal loop the box is read and
// `answer` closes it as a user would. A box left open is closed so that the test goes on.
MsgResult ShowAndAnswer(const MessageRequest& request, const std::function<void(QMessageBox&)>& answer,
                        Seen* seen) {
    QTimer::singleShot(0, qApp, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen->shown = true;
        seen->caption = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen->buttons << Plain(button->text());
        seen->buttons.sort();
        if (box->defaultButton())
            seen->defaultButton = Plain(box->defaultButton()->text());
        answer(*box);
        seen->leftOpen = box->isVisible();
        if (seen->leftOpen)
            box->done(0);
    });
    return Prompter::MessageBox(request.text, request.caption, request.icon, request.buttons,
                                request.defaultButton);
}

void Press(QMessageBox& box, const QString& label) {
    for (QAbstractButton* button : box.buttons()) {
        if (Plain(button->text()) == label)
            return QTest::mouseClick(button, Qt::LeftButton);
    }
}

void Key(QMessageBox& box, Qt::Key key) {
    QWidget* focus = box.focusWidget();
    QTest::keyClick(focus ? focus : &box, key);
}
} // namespace

class MessageBoxPrompterTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        m_previous = Prompter::Set(nullptr);
        Toolkit::InstallInterface(*qApp);
    }
    void cleanupTestCase() { Prompter::Set(std::move(m_previous)); }

    void buttonsAndAnswers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<QString>("answer"); // a button's label, a key or the close box
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("shownDefault");
        QTest::addColumn<int>("result");
        const int ok = int(MsgButtons::Ok), yesNo = int(MsgButtons::YesNo),
                  okCancel = int(MsgButtons::OkCancel);
        const QStringList justOk = Texts({"确定"}), yesOrNo = Texts({"否", "是"}),
                          okOrCancel = Texts({"取消", "确定"});
        QTest::newRow("OK clicked") << ok << int(IDOK) << "确定" << justOk << "确定" << int(IDOK);
        QTest::newRow("Escape on OK") << ok << int(IDOK) << "Escape" << justOk << "确定" << int(IDOK);
        QTest::newRow("close box on OK") << ok << int(IDOK) << "Close" << justOk << "确定" << int(IDOK);
        QTest::newRow("Yes clicked") << yesNo << int(IDYES) << "是" << yesOrNo << "是" << int(IDYES);
        QTest::newRow("No clicked") << yesNo << int(IDYES) << "否" << yesOrNo << "是" << int(IDNO);
        QTest::newRow("Escape on Yes/No") << yesNo << int(IDYES) << "Escape" << yesOrNo << "是" << int(IDNO);
        QTest::newRow("close box on Yes/No")
            << yesNo << int(IDYES) << "Close" << yesOrNo << "是" << int(IDNO);
        QTest::newRow("Enter on default No") << yesNo << int(IDNO) << "Enter" << yesOrNo << "否" << int(IDNO);
        QTest::newRow("OK of OK/Cancel")
            << okCancel << int(IDOK) << "确定" << okOrCancel << "确定" << int(IDOK);
        QTest::newRow("Cancel clicked")
            << okCancel << int(IDOK) << "取消" << okOrCancel << "确定" << int(IDCANCEL);
        QTest::newRow("Escape on OK/Cancel")
            << okCancel << int(IDOK) << "Escape" << okOrCancel << "确定" << int(IDCANCEL);
        QTest::newRow("Enter on default Cancel")
            << okCancel << int(IDCANCEL) << "Enter" << okOrCancel << "取消" << int(IDCANCEL);
    }
    void buttonsAndAnswers() {
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(QString, answer);
        QFETCH(QStringList, shown);
        QFETCH(QString, shownDefault);
        QFETCH(int, result);
        const MessageRequest request{QStringLiteral("以上信息是否正确,请确认?"), QStringLiteral("请确定"),
                                     MsgIcon::Question, MsgButtons(buttons), MsgResult(defaultButton)};
        Seen seen;
        const MsgResult answered = ShowAndAnswer(
            request,
            [&](QMessageBox& box) {
                if (answer == QLatin1String("Escape"))
                    Key(box, Qt::Key_Escape);
                else if (answer == QLatin1String("Enter"))
                    Key(box, Qt::Key_Return);
                else if (answer == QLatin1String("Close"))
                    box.close();
                else
                    Press(box, answer);
            },
            &seen);
        QVERIFY(seen.shown);
        QVERIFY(!seen.leftOpen);
        QCOMPARE(seen.caption, request.caption);
        QCOMPARE(seen.text, request.text);
        QCOMPARE(seen.buttons, shown);
        QCOMPARE(seen.defaultButton, shownDefault);
        QCOMPARE(int(answered), result);
    }

    void icons_data() {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("shown");
        QTest::newRow("none") << int(MsgIcon::None) << int(QMessageBox::NoIcon);
        QTest::newRow("information") << int(MsgIcon::Information) << int(QMessageBox::Information);
        QTest::newRow("warning") << int(MsgIcon::Warning) << int(QMessageBox::Warning);
        QTest::newRow("error") << int(MsgIcon::Error) << int(QMessageBox::Critical);
        QTest::newRow("question") << int(MsgIcon::Question) << int(QMessageBox::Question);
    }
    void icons() {
        QFETCH(int, icon);
        QFETCH(int, shown);
        Seen seen;
        const MessageRequest request{QStringLiteral("未填写影片编号!"), QString(), MsgIcon(icon)};
        ShowAndAnswer(
            request, [](QMessageBox& box) { Press(box, QStringLiteral("确定")); }, &seen);
        QVERIFY(seen.shown);
        QCOMPARE(int(seen.icon), shown);
        QCOMPARE(seen.caption, QStringLiteral("Vorix")); // no caption given: the application title
    }

private:
    std::unique_ptr<IPrompter> m_previous;
};
VORIX_TEST(MessageBoxPrompterTest)
#include "tst_MessageBoxPrompter.moc"
