#include "Shop.h"
#include "TestRegistry.h"

#include "base/Gbk.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Interface.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {
// A form with a 20-byte name, a price within 0 to 9999 and a count within 0 to 9999.
class SampleDlg : public CDialog {
public:
    SampleDlg() {
        auto* layout = new QVBoxLayout(this);
        for (QLineEdit* edit : {name, price, count})
            layout->addWidget(edit);
    }
    QLineEdit* name = new QLineEdit(this);
    QLineEdit* price = new QLineEdit(this);
    QLineEdit* count = new QLineEdit(this);
    QString m_strName;
    float m_fPrice = 0;
    int m_nCount = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        dx.Text(name, m_strName, 20);
        dx.Real(price, m_fPrice, 0, 9999);
        dx.Int(count, m_nCount, 0, 9999);
    }
};

// A form with a 10-byte note of several lines.
class NoteDlg : public CDialog {
public:
    NoteDlg() { (new QVBoxLayout(this))->addWidget(note); }
    QPlainTextEdit* note = new QPlainTextEdit(this);
    QString m_strNote;

protected:
    void DoDataExchange(CDataExchange& dx) override { dx.Text(note, m_strNote, 10); }
};
} // namespace

class FieldExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void gbkCountsChineseAsTwoBytes() {
        QCOMPARE(Gbk::ByteLength(QStringLiteral("abc")), 3);
        QCOMPARE(Gbk::ByteLength(QStringLiteral("影片A")), 5);
        QCOMPARE(Gbk::ByteLength(QStringLiteral("ＶＣＤ")), 6);
        QCOMPARE(Gbk::ByteLength(QStringLiteral("a😀")), -1);
        QCOMPARE(Gbk::FirstUnencodable(QStringLiteral("好😀b")), QStringLiteral("😀"));
        QCOMPARE(Gbk::FirstUnencodable(QStringLiteral("好b")), QString());
    }

    void formNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "5" << true << 5.0;
        QTest::newRow("blanks") << " 5 " << true << 5.0;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("fraction") << "12.345678" << true << 12.345678;
        QTest::newRow("negative") << "-0.01" << true << -0.01;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank only") << "  " << false << 0.0;
        QTest::newRow("yuan") << "5元" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
        QTest::newRow("full-width digit") << "５" << false << 0.0;
        QTest::newRow("overflow") << "1e999" << false << 0.0;
    }
    void formNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        double parsed = 0;
        QCOMPARE(FormText::ParseFormNumber(text, &parsed), accepted);
        if (accepted)
            QCOMPARE(parsed, value);
    }

    void readingValidFieldsFillsMembers() {
        BoxRecorder boxes;
        SampleDlg dlg;
        dlg.name->setText(QStringLiteral("O'Neil 100%_"));
        dlg.price->setText(QStringLiteral(" 9999 "));
        dlg.count->setText(QStringLiteral("0"));
        QVERIFY(dlg.UpdateData(true));
        QCOMPARE(dlg.m_strName, QStringLiteral("O'Neil 100%_"));
        QCOMPARE(dlg.m_fPrice, 9999.0f);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void refusedFieldPromptsAndTakesFocus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("field");
        // clang-format off
        QTest::newRow("21 bytes") << QString(21, QLatin1Char('a')) << "1" << "1"
                                  << "输入的内容不能超过 20 个字节（一个汉字算两个字节）。" << 0;
        QTest::newRow("11 Chinese") << QString(11, QChar(0x5F71)) << "1" << "1"
                                    << "输入的内容不能超过 20 个字节（一个汉字算两个字节）。" << 0;
        QTest::newRow("emoji") << "a😀" << "1" << "1" << "不能保存字符“😀”，请换用其它字符。" << 0;
        QTest::newRow("not a number") << "a" << "5元" << "1" << "请输入一个数。" << 1;
        QTest::newRow("above range") << "a" << "9999.01" << "1" << "请输入一个介于 0 和 9999 之间的数。" << 1;
        QTest::newRow("below range") << "a" << "-0.01" << "1" << "请输入一个介于 0 和 9999 之间的数。" << 1;
        QTest::newRow("not an integer") << "a" << "1" << "1.5" << "请输入一个整数。" << 2;
        QTest::newRow("integer range") << "a" << "1" << "10000" << "请输入一个介于 0 和 9999 之间的整数。" << 2;
        // clang-format on
    }
    void refusedFieldPromptsAndTakesFocus() {
        QFETCH(QString, name);
        QFETCH(QString, price);
        QFETCH(QString, count);
        QFETCH(QString, prompt);
        QFETCH(int, field);
        BoxRecorder boxes;
        SampleDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.name->setText(name);
        dlg.price->setText(price);
        dlg.count->setText(count);
        QVERIFY(!dlg.UpdateData(true));
        QCOMPARE(boxes.Texts(), QStringList{prompt});
        QCOMPARE(boxes.Boxes().first().caption, QStringLiteral("Vorix"));
        QCOMPARE(boxes.Boxes().first().icon, MsgIcon::Warning);
        QLineEdit* fields[] = {dlg.name, dlg.price, dlg.count};
        QCOMPARE(QApplication::focusWidget(), fields[field]);
        // Nothing after the failing field was read, and the failing member kept its value.
        QCOMPARE(dlg.m_nCount, 0);
    }

    void disabledFieldIsNeitherReadNorChecked_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("text over the limit") << 0 << QString(21, QLatin1Char('a'));
        QTest::newRow("real that is no number") << 1 << "5元";
        QTest::newRow("real out of range") << 1 << "-1";
        QTest::newRow("integer that is no integer") << 2 << "1.5";
    }
    void disabledFieldIsNeitherReadNorChecked() {
        QFETCH(int, field);
        QFETCH(QString, text);
        BoxRecorder boxes;
        SampleDlg dlg;
        dlg.m_strName = QStringLiteral("kept");
        dlg.m_fPrice = 7;
        dlg.m_nCount = 3;
        dlg.name->setText(QStringLiteral("new"));
        dlg.price->setText(QStringLiteral("8"));
        dlg.count->setText(QStringLiteral("4"));
        QLineEdit* fields[] = {dlg.name, dlg.price, dlg.count};
        fields[field]->setText(text);
        fields[field]->setEnabled(false);
        QVERIFY(dlg.UpdateData(true));
        QCOMPARE(boxes.Boxes().size(), 0);
        QStringList expected = {QStringLiteral("new"), QStringLiteral("8"), QStringLiteral("4")};
        expected[field] =
            QStringList({QStringLiteral("kept"), QStringLiteral("7"), QStringLiteral("3")})[field];
        const QStringList read = {dlg.m_strName, QString::number(double(dlg.m_fPrice)),
                                  QString::number(dlg.m_nCount)};
        QCOMPARE(read, expected);
        // Filling still reaches the disabled field.
        dlg.UpdateData(false);
        QCOMPARE(fields[field]->text(), expected[field]);
    }

    void buttonsLeavingEnterToTheDefaultAreFound() {
        SampleDlg dlg;
        auto* ok = new QPushButton(QStringLiteral("确定"), &dlg);
        auto* cancel = new QPushButton(QStringLiteral("取消"), &dlg);
        cancel->setObjectName(QStringLiteral("cancelButton"));
        ok->setDefault(true);
        QCOMPARE(CDialog::ButtonsWithoutAutoDefault(dlg), QStringList());
        cancel->setAutoDefault(false);
        ok->setAutoDefault(false);
        QCOMPARE(CDialog::ButtonsWithoutAutoDefault(dlg),
                 QStringList({QStringLiteral("确定"), QStringLiteral("cancelButton")}));
        // A box of its own, even one parented to the form, is not the form's business.
        QMessageBox box(&dlg);
        box.addButton(QMessageBox::Ok)->setAutoDefault(false);
        QCOMPARE(CDialog::ButtonsWithoutAutoDefault(dlg).size(), 2);
    }

    void typingStopsAtTheByteLimit() {
        BoxRecorder boxes;
        SampleDlg dlg;
        dlg.UpdateData(false);
        TypeText(dlg.name, QString(19, QLatin1Char('x')));
        TypeText(dlg.name, QStringLiteral("影")); // two bytes would make 21
        QCOMPARE(dlg.name->text(), QString(19, QLatin1Char('x')));
        TypeText(dlg.name, QStringLiteral("y"));
        QCOMPARE(dlg.name->text().size(), 20);
        TypeText(dlg.name, QStringLiteral("z"));
        QCOMPARE(dlg.name->text().size(), 20);
    }

    void typingRefusesCharactersGbkCannotHold() {
        SampleDlg dlg;
        dlg.UpdateData(false);
        TypeText(dlg.name, QStringLiteral("好😀"));
        QCOMPARE(dlg.name->text(), QString());
        TypeText(dlg.name, QStringLiteral("好"));
        QCOMPARE(dlg.name->text(), QStringLiteral("好"));
    }

    // Typing past the limit of a note drops whole characters only; a character GBK cannot hold
    // stays where it was typed, and reading the form names it.
    void noteTypingKeepsWholeCharacters_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("prompt");
        const QString emoji = QStringLiteral("😀");
        const QString unencodable = CDataExchange::UnencodablePrompt(emoji);
        const QString tenA(10, QLatin1Char('a'));
        const QString nineA(9, QLatin1Char('a'));
        QTest::newRow("emoji inside") << Texts({"b", "😀", "c"}) << QStringLiteral("b😀c") << unencodable;
        QTest::newRow("emoji last") << Texts({"bc", "😀"}) << QStringLiteral("bc😀") << unencodable;
        QTest::newRow("emoji past the limit") << QStringList{tenA, emoji} << tenA + emoji << unencodable;
        QTest::newRow("Chinese on the last byte")
            << QStringList{nineA, QStringLiteral("影")} << nineA << QString();
        QTest::newRow("Chinese full")
            << Texts({"影影影影影", "x", "影"}) << QStringLiteral("影影影影影") << QString();
        QTest::newRow("pasted past the limit")
            << Texts({"影影影影a影b"}) << QStringLiteral("影影影影ab") << QString();
    }
    void noteTypingKeepsWholeCharacters() {
        QFETCH(QStringList, typed);
        QFETCH(QString, shown);
        QFETCH(QString, prompt);
        BoxRecorder boxes;
        NoteDlg dlg;
        dlg.UpdateData(false);
        for (const QString& text : typed)
            TypeText(dlg.note, text);
        QCOMPARE(dlg.note->toPlainText(), shown);
        QCOMPARE(dlg.UpdateData(true), prompt.isEmpty());
        QCOMPARE(boxes.Texts(), prompt.isEmpty() ? QStringList() : QStringList{prompt});
        QCOMPARE(dlg.m_strNote, prompt.isEmpty() ? shown : QString());
    }

    // Typing in the middle of a full note drops what was typed, not the note's end.
    void noteTypingInTheMiddleDropsWhatWasTyped() {
        NoteDlg dlg;
        dlg.UpdateData(false);
        TypeText(dlg.note, QStringLiteral("ab😀cdefghij"));
        QTextCursor c = dlg.note->textCursor();
        c.setPosition(4); // after the emoji
        dlg.note->setTextCursor(c);
        TypeText(dlg.note, QStringLiteral("影"));
        QCOMPARE(dlg.note->toPlainText(), QStringLiteral("ab😀cdefghij"));
        QCOMPARE(dlg.note->textCursor().position(), 4);
        c.movePosition(QTextCursor::End);
        c.deletePreviousChar();
        c.deletePreviousChar();
        c.setPosition(4);
        dlg.note->setTextCursor(c);
        TypeText(dlg.note, QStringLiteral("影影"));
        QCOMPARE(dlg.note->toPlainText(), QStringLiteral("ab😀影cdefgh"));
        QCOMPARE(dlg.note->textCursor().position(), 5);
    }

    void overlongStoredNoteCanBeShortened() {
        NoteDlg dlg;
        dlg.m_strNote = QString(12, QLatin1Char('a'));
        dlg.UpdateData(false);
        QTextCursor c = dlg.note->textCursor();
        c.movePosition(QTextCursor::End);
        dlg.note->setTextCursor(c);
        TypeText(dlg.note, QStringLiteral("b"));
        QCOMPARE(dlg.note->toPlainText(), QString(12, QLatin1Char('a')));
        QTest::keyClick(dlg.note, Qt::Key_Backspace);
        QCOMPARE(dlg.note->toPlainText(), QString(11, QLatin1Char('a')));
    }

    void overlongStoredTextCanBeShortened() {
        SampleDlg dlg;
        dlg.m_strName = QString(25, QLatin1Char('a'));
        dlg.UpdateData(false);
        QCOMPARE(dlg.name->text().size(), 25);
        dlg.name->setFocus();
        dlg.name->end(false);
        QTest::keyClick(dlg.name, Qt::Key_Backspace);
        QCOMPARE(dlg.name->text().size(), 24);
    }

    void realsShowSixSignificantDigits() {
        SampleDlg dlg;
        for (const auto& [value, shown] : {std::pair{3.0f, "3"}, {0.5f, "0.5"}, {12.345678f, "12.3457"}}) {
            dlg.m_fPrice = value;
            dlg.UpdateData(false);
            QCOMPARE(dlg.price->text(), QString::fromLatin1(shown));
        }
    }

    void modalRunsOpeningThenTheRunner() {
        int opened = 0;
        ModalScript script([&](CDialog& d) {
            opened = static_cast<SampleDlg&>(d).name->text() == QStringLiteral("preset");
            d.OnOK();
        });
        BoxRecorder boxes;
        SampleDlg dlg;
        dlg.m_strName = QStringLiteral("preset");
        QCOMPARE(dlg.DoModal(), int(IDOK));
        QCOMPARE(opened, 1);
    }

    void escapeAndCloseCancel() {
        SampleDlg dlg;
        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.IsEnded());
        QCOMPARE(dlg.Result(), int(IDCANCEL));
    }

    void standardButtonsSpeakChinese() {
        auto previous = Prompter::Set(nullptr);
        Toolkit::InstallInterface(*qApp);
        Prompter::Set(std::move(previous)); // keep the tests' boxes silent
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")));
        QVERIFY(box.button(QMessageBox::Ok)->text().startsWith(QStringLiteral("确定")));
        QVERIFY(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("取消")));
    }

    void boxWithoutCaptionShowsTheTitle() {
        BoxRecorder boxes;
        boxes.Answer(IDNO);
        QCOMPARE(
            Prompter::MessageBox(QStringLiteral("x"), QString(), MsgIcon::Question, MsgButtons::YesNo, IDYES),
            IDNO);
        QCOMPARE(boxes.Boxes().first().caption, QStringLiteral("Vorix"));
        QCOMPARE(boxes.Boxes().first().defaultButton, IDYES);
    }
};
VORIX_TEST(FieldExchangeTest)
#include "tst_FieldExchange.moc"
