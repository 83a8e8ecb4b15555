#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "manage/CFilmEditDlg.h"
#include "toolkit/DataExchange.h"
#include "ui_CFilmEditDlg.h"

#include <QApplication>
#include <QTest>

namespace {
// A shop with a VCD film and a DVD film filed under a genre the editor does not list.
struct FilmShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(15, 30))};

    explicit FilmShop(const QString& operatorType = QStringLiteral("管理员"))
        : user(QStringLiteral("Admin"), operatorType) {
        QVERIFY(Db::Exec(QStringLiteral(
            "INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark) VALUES"
            "('V1','英雄','李连杰','VCD','动作片','大陆','2026-01-01',0,''),"
            "('D1','无间道','刘德华','DVD','武侠片','其它','2005-11-20',7,'盒子有划痕')")));
    }
};

QString KeyOf(const QString& code) {
    return Db::Value(QStringLiteral("SELECT ID AS v FROM Film WHERE FilmID='") + code + QStringLiteral("'"));
}

QString Row(const QString& key) {
    return Db::Value(
        QStringLiteral("SELECT FilmID||'|'||FilmName||'|'||Playactor||'|'||Type||'|'||Class1||'|'||"
                       "Class2||'|'||StgDate||'|'||Degree||'|'||Remark AS v FROM Film WHERE ID=") +
        key);
}

int Films() {
    return Db::Count(QStringLiteral("Film"));
}

// The editor as the film window opens it: key set, shown, opened.
struct Edit {
    CFilmEditDlg dlg;
    bool opened = false;
    explicit Edit(const QString& key = QString()) {
        dlg.m_strID = key;
        dlg.show();
        opened = dlg.OnInitDialog();
    }
    Ui::CFilmEditDlg& f() { return *dlg.Form(); }
    // Texts in the order of the form's checks: 租次, 片名, 编号, 主演, 备注.
    QList<QWidget*> Checked() {
        return {f().degreeEdit, f().filmNameEdit, f().filmIdEdit, f().playactorEdit, f().remarkEdit};
    }
    // Puts text in as pasted or loaded, past what typing would let in.
    void Put(const QStringList& texts) {
        f().degreeEdit->setText(texts[0]);
        f().filmNameEdit->setText(texts[1]);
        f().filmIdEdit->setText(texts[2]);
        f().playactorEdit->setText(texts[3]);
        const QSignalBlocker untrimmed(f().remarkEdit);
        f().remarkEdit->setPlainText(texts[4]);
    }
    void Type(QLineEdit* edit, const QString& text) {
        edit->clear();
        TypeText(edit, text);
    }
    void Press() { QTest::mouseClick(f().okButton, Qt::LeftButton); }
    bool Saved() const { return dlg.IsEnded() && dlg.Result() == IDOK; }
};

void ExpectNotice(const BoxRecorder& boxes, const QString& text) {
    QCOMPARE(boxes.Texts(), QStringList{text});
    QCOMPARE(boxes.Boxes().first().caption, QStringLiteral("提示"));
    QCOMPARE(boxes.Boxes().first().icon, MsgIcon::Warning);
    QCOMPARE(boxes.Boxes().first().buttons, MsgButtons::Ok);
}

// Types one character after another, as at the keyboard.
void TypeEach(QWidget* widget, const QString& text) {
    for (const QChar ch : text)
        TypeText(widget, QString(ch));
}

QString Chinese(int characters) {
    return QString(characters, QChar(u'影'));
}
} // namespace

class FilmEditDlgTest : public QObject {
    Q_OBJECT
private slots:
    void newFilmOpensOnTheFirstEntriesToday() {
        FilmShop shop(QStringLiteral("操作员"));
        Edit e;
        QVERIFY(e.opened);
        QCOMPARE(e.dlg.windowTitle(), QStringLiteral("编辑影片信息"));
        QCOMPARE(e.f().class1Label->text(), QStringLiteral("类别1："));
        QCOMPARE(e.f().typeCombo->currentText(), QStringLiteral("VCD"));
        QCOMPARE(e.f().typeCombo->count(), 2);
        QStringList genres, regions;
        for (int i = 0; i < e.f().class1Combo->count(); ++i)
            genres << e.f().class1Combo->itemText(i);
        for (int i = 0; i < e.f().class2Combo->count(); ++i)
            regions << e.f().class2Combo->itemText(i);
        QCOMPARE(genres, Texts({"动作片", "喜剧片", "爱情片", "科幻片", "恐怖片", "战争片", "文艺片",
                                "记录片", "动漫片", "连续片", "其它片"}));
        QCOMPARE(regions, Texts({"大陆", "港台", "日本", "欧美", "其它"}));
        QCOMPARE(e.f().class1Combo->currentIndex(), 0);
        QCOMPARE(e.f().class2Combo->currentIndex(), 0);
        QCOMPARE(e.f().dateEdit->date(), QDate(2026, 12, 7));
        QCOMPARE(e.f().degreeEdit->text(), QStringLiteral("0"));
        QVERIFY(e.f().filmIdEdit->text().isEmpty() && e.f().remarkEdit->toPlainText().isEmpty());
        QVERIFY(e.f().okButton->isDefault());
        // A new film may be added by anyone.
        QVERIFY(e.f().okButton->isEnabled());
        e.Type(e.f().filmIdEdit, QStringLiteral("N1"));
        TypeText(e.f().filmNameEdit, QStringLiteral("新片"));
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(Row(KeyOf(QStringLiteral("N1"))), QStringLiteral("N1|新片||VCD|动作片|大陆|2026-12-07|0|"));
    }

    // Enter in the note confirms the form; quotes are stored as typed and break nothing.
    void enterInTheNoteSavesWhatWasTyped() {
        FilmShop shop;
        Edit e;
        e.Type(e.f().filmIdEdit, QStringLiteral("F'1"));
        TypeText(e.f().filmNameEdit, QStringLiteral("Rock'n'Roll"));
        TypeText(e.f().playactorEdit, QStringLiteral("O'Neil"));
        e.f().typeCombo->setCurrentIndex(1);
        e.f().class1Combo->setCurrentIndex(9);
        e.f().class2Combo->setCurrentIndex(3);
        e.f().dateEdit->setDate(QDate(2024, 2, 29));
        e.Type(e.f().degreeEdit, QStringLiteral("12"));
        TypeText(e.f().remarkEdit, QStringLiteral("x', Degree=99 --"));
        QTest::keyClick(e.f().remarkEdit, Qt::Key_Return);
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(e.Saved());
        QCOMPARE(Row(KeyOf(QStringLiteral("F''1"))),
                 QStringLiteral("F'1|Rock'n'Roll|O'Neil|DVD|连续片|欧美|2024-02-29|12|x', Degree=99 --"));
        QCOMPARE(Films(), 3);
    }

    void existingFilmShowsAndKeepsItsValues() {
        FilmShop shop;
        const QString key = KeyOf(QStringLiteral("D1"));
        Edit e(key);
        QVERIFY(e.opened);
        QCOMPARE(e.f().filmIdEdit->text(), QStringLiteral("D1"));
        QCOMPARE(e.f().filmNameEdit->text(), QStringLiteral("无间道"));
        QCOMPARE(e.f().playactorEdit->text(), QStringLiteral("刘德华"));
        QCOMPARE(e.f().typeCombo->currentText(), QStringLiteral("DVD"));
        QCOMPARE(e.f().class1Combo->currentText(), QStringLiteral("其它片"));
        QCOMPARE(e.f().class2Combo->currentText(), QStringLiteral("其它"));
        QCOMPARE(e.f().dateEdit->date(), QDate(2005, 11, 20));
        QCOMPARE(e.f().degreeEdit->text(), QStringLiteral("7"));
        QCOMPARE(e.f().remarkEdit->toPlainText(), QStringLiteral("盒子有划痕"));
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(Row(key), QStringLiteral("D1|无间道|刘德华|DVD|其它片|其它|2005-11-20|7|盒子有划痕"));
    }

    // Each row: the texts of 租次, 片名, 编号, 主演, 备注; the prompt (none: saved); the field it names.
    void formChecksInOrder_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("field");
        const QString integer = CDataExchange::IntegerPrompt();
        const QString range = CDataExchange::IntegerRangePrompt(0, 9999);
        const QString long20 = CDataExchange::TooLongPrompt(20);
        const QString a20(20, QLatin1Char('a')), a21(21, QLatin1Char('a'));
        const QString c10 = Chinese(10), c10a = Chinese(10) + QStringLiteral("a");
        QTest::newRow("no count") << Texts({"", "n", "c", "", ""}) << integer << 0;
        QTest::newRow("negative") << Texts({"-1", "n", "c", "", ""}) << range << 0;
        QTest::newRow("10000") << Texts({"10000", "n", "c", "", ""}) << range << 0;
        QTest::newRow("exponent") << Texts({"1e3", "n", "c", "", ""}) << integer << 0;
        QTest::newRow("nan") << Texts({"nan", "n", "c", "", ""}) << integer << 0;
        QTest::newRow("all at the limit")
            << QStringList{QStringLiteral("9999"), c10, a20, c10, Chinese(50)} << QString() << -1;
        QTest::newRow("title past") << QStringList{QStringLiteral("0"), c10a, QStringLiteral("c"),
                                                   QStringLiteral(""), QStringLiteral("")}
                                    << long20 << 1;
        QTest::newRow("code past") << QStringList{QStringLiteral("0"), QStringLiteral("n"), a21,
                                                  QStringLiteral(""), QStringLiteral("")}
                                   << long20 << 2;
        QTest::newRow("actor past") << QStringList{QStringLiteral("0"), QStringLiteral("n"),
                                                   QStringLiteral("c"), c10a, QStringLiteral("")}
                                    << long20 << 3;
        QTest::newRow("note past") << QStringList{QStringLiteral("0"), QStringLiteral("n"),
                                                  QStringLiteral("c"), QStringLiteral(""),
                                                  Chinese(50) + QStringLiteral("a")}
                                   << CDataExchange::TooLongPrompt(100) << 4;
        QTest::newRow("count first") << QStringList{QStringLiteral("x"), c10a, a21, a21, QStringLiteral("")}
                                     << integer << 0;
        QTest::newRow("title before code")
            << QStringList{QStringLiteral("1"), c10a, a21, a21, QStringLiteral("")} << long20 << 1;
        QTest::newRow("code before actor")
            << QStringList{QStringLiteral("1"), QStringLiteral("n"), a21, a21, a21 + a21 + a21 + a21 + a21}
            << long20 << 2;
        QTest::newRow("actor before note")
            << QStringList{QStringLiteral("1"), QStringLiteral("n"), QStringLiteral("c"), a21,
                           a21 + a21 + a21 + a21 + a21}
            << long20 << 3;
        QTest::newRow("no GBK form") << Texts({"1", "n", "F😀", "", ""})
                                     << CDataExchange::UnencodablePrompt(QStringLiteral("😀")) << 2;
    }
    void formChecksInOrder() {
        QFETCH(QStringList, texts);
        QFETCH(QString, prompt);
        QFETCH(int, field);
        FilmShop shop;
        Edit e;
        QVERIFY(QTest::qWaitForWindowActive(&e.dlg));
        e.Put(texts);
        e.Press();
        if (prompt.isEmpty()) {
            QCOMPARE(shop.boxes.Texts(), QStringList());
            QVERIFY(e.Saved());
            QCOMPARE(Films(), 3);
            return;
        }
        QCOMPARE(shop.boxes.Texts(), QStringList{prompt});
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(QApplication::focusWidget(), e.Checked()[field]);
        QCOMPARE(Films(), 2);
    }

    void fieldsRefuseTypingPastTheirLimit() {
        FilmShop shop;
        Edit e;
        TypeEach(e.f().filmNameEdit, Chinese(11));
        QCOMPARE(e.f().filmNameEdit->text(), Chinese(10));
        TypeText(e.f().filmIdEdit, QString(21, QLatin1Char('7')));
        QCOMPARE(e.f().filmIdEdit->text(), QString(20, QLatin1Char('7')));
        TypeEach(e.f().playactorEdit, QStringLiteral("a") + Chinese(10));
        QCOMPARE(e.f().playactorEdit->text(), QStringLiteral("a") + Chinese(9));
        TypeEach(e.f().remarkEdit, Chinese(51));
        QCOMPARE(e.f().remarkEdit->toPlainText(), Chinese(50));
        e.Type(e.f().degreeEdit, QStringLiteral("-1e3 x"));
        QCOMPARE(e.f().degreeEdit->text(), QStringLiteral("13"));
    }

    // Typed into the remark, a character GBK cannot hold is named at 确定, not stored as "?".
    void remarkWithCharacterGbkCannotHoldIsRefused() {
        FilmShop shop;
        Edit e;
        QVERIFY(QTest::qWaitForWindowActive(&e.dlg));
        e.f().filmIdEdit->setText(QStringLiteral("N1"));
        e.f().filmNameEdit->setText(QStringLiteral("片"));
        for (const QString& typed : {QStringLiteral("b"), QStringLiteral("😀"), QStringLiteral("c")})
            TypeText(e.f().remarkEdit, typed);
        QCOMPARE(e.f().remarkEdit->toPlainText(), QStringLiteral("b😀c"));
        e.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{CDataExchange::UnencodablePrompt(QStringLiteral("😀"))});
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(QApplication::focusWidget(), e.f().remarkEdit);
        QCOMPARE(Films(), 2);
    }

    void codeAndTitleAreRequired_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("title");
        QTest::newRow("no code") << QString() << QStringLiteral("片");
        QTest::newRow("no title") << QStringLiteral("N1") << QString();
    }
    void codeAndTitleAreRequired() {
        QFETCH(QString, code);
        QFETCH(QString, title);
        FilmShop shop;
        Edit e;
        e.Put({QStringLiteral("0"), title, code, QString(), QString()});
        e.Press();
        ExpectNotice(shop.boxes, QStringLiteral("请填写必要信息!"));
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(Films(), 2);
    }

    // The engine compares codes without letter case; a film keeping its own code is not a duplicate.
    void duplicateCodeIsRefused_data() {
        QTest::addColumn<QString>("film"); // the film opened, empty for a new one
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("new, same code") << QString() << QStringLiteral("V1") << true;
        QTest::newRow("new, other case") << QString() << QStringLiteral("v1") << true;
        QTest::newRow("changed to another film's") << QStringLiteral("D1") << QStringLiteral("V1") << true;
        QTest::newRow("changed, other case") << QStringLiteral("D1") << QStringLiteral("v1") << true;
        QTest::newRow("own code kept") << QStringLiteral("D1") << QStringLiteral("D1") << false;
        QTest::newRow("changed to a free code") << QStringLiteral("D1") << QStringLiteral("D2") << false;
    }
    void duplicateCodeIsRefused() {
        QFETCH(QString, film);
        QFETCH(QString, code);
        QFETCH(bool, duplicate);
        FilmShop shop;
        const QString key = film.isEmpty() ? QString() : KeyOf(film);
        Edit e(key);
        e.Type(e.f().filmIdEdit, code);
        e.Type(e.f().filmNameEdit, QStringLiteral("Title"));
        e.Press();
        if (duplicate) {
            ExpectNotice(shop.boxes, QStringLiteral("影片编号重复,请重新输入!"));
            QVERIFY(!e.dlg.IsEnded());
            QCOMPARE(Films(), 2);
            if (!key.isEmpty())
                QVERIFY(Row(key).startsWith(QStringLiteral("D1|无间道|")));
            return;
        }
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(e.Saved());
        QCOMPARE(Films(), 2);
        QVERIFY(Row(key).startsWith(code + QStringLiteral("|Title|")));
    }

    void operatorOnlyLooksAtAFilm() {
        FilmShop shop(QStringLiteral("操作员"));
        const QString key = KeyOf(QStringLiteral("D1"));
        const QString before = Row(key);
        Edit e(key);
        QCOMPARE(e.f().filmNameEdit->text(), QStringLiteral("无间道"));
        QVERIFY(!e.f().okButton->isEnabled());
        e.Type(e.f().filmNameEdit, QStringLiteral("changed"));
        QTest::keyClick(e.f().filmNameEdit, Qt::Key_Return);
        QTest::keyClick(e.f().remarkEdit, Qt::Key_Return);
        e.dlg.OnOK();
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QCOMPARE(Row(key), before);
    }

    void failedWriteKeepsTheFormOpen_data() {
        QTest::addColumn<QString>("film");
        QTest::addColumn<QString>("statement");
        QTest::newRow("insert") << QString() << QStringLiteral("INSERT");
        QTest::newRow("update") << QStringLiteral("D1") << QStringLiteral("UPDATE");
    }
    void failedWriteKeepsTheFormOpen() {
        QFETCH(QString, film);
        QFETCH(QString, statement);
        FilmShop shop;
        QVERIFY(Db::FailOn(statement.toLatin1().constData(), "Film", "disk I/O error"));
        const QString key = film.isEmpty() ? QString() : KeyOf(film);
        const QString before = key.isEmpty() ? QString() : Row(key);
        Edit e(key);
        e.Type(e.f().filmIdEdit, QStringLiteral("N1"));
        e.Type(e.f().filmNameEdit, QStringLiteral("Title"));
        e.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{QStringLiteral("disk I/O error")});
        QVERIFY(!e.dlg.IsEnded());
        QCOMPARE(Films(), 2);
        if (!key.isEmpty())
            QCOMPARE(Row(key), before);
    }

    // A read that fails is not a missing film: the engine's message is the only box.
    void failedReadStopsAfterTheEngineMessage() {
        FilmShop shop;
        const QString key = KeyOf(QStringLiteral("D1"));
        Edit adding;
        adding.Type(adding.f().filmIdEdit, QStringLiteral("N1"));
        adding.Type(adding.f().filmNameEdit, QStringLiteral("Title"));
        QVERIFY(Db::Exec(QStringLiteral("ALTER TABLE Film RENAME TO Gone")));
        adding.Press();
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{EngineText("no such table: Film", "relation \"film\" does not exist")});
        QVERIFY(!adding.dlg.IsEnded());

        shop.boxes.Clear();
        const ModalScript neverShown([](CDialog&) { QFAIL("the form opened"); });
        CFilmEditDlg changing;
        changing.m_strID = key;
        QCOMPARE(changing.DoModal(), int(IDCANCEL));
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{EngineText("no such table: Film", "relation \"film\" does not exist")});
    }

    // A key that names no film, or is no key, says so and opens no form.
    void unknownKeyOpensNoForm_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("deleted") << QStringLiteral("999");
        QTest::newRow("no number") << QStringLiteral("abc");
        QTest::newRow("blank after") << QStringLiteral("1 ");
    }
    void unknownKeyOpensNoForm() {
        QFETCH(QString, key);
        FilmShop shop;
        StatementRecorder sql;
        const ModalScript neverShown([](CDialog&) { QFAIL("the form opened"); });
        CFilmEditDlg e;
        e.m_strID = key;
        QCOMPARE(e.DoModal(), int(IDCANCEL));
        ExpectNotice(shop.boxes, QStringLiteral("找不到这部影片,它可能已被删除。"));
        for (const QString& statement : sql.Statements())
            QVERIFY2(statement.startsWith(QStringLiteral("SELECT")), qPrintable(statement));
    }

    // A stored date not in the form "%Y-%m-%d", or no calendar date, shows (and saves) today's.
    void unreadableStoredDateShowsToday_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDate>("shown");
        const QDate today(2026, 12, 7);
        QTest::newRow("first of January") << QStringLiteral("2001-01-01") << QDate(2001, 1, 1);
        QTest::newRow("slashes") << QStringLiteral("2005/11/20") << today;
        QTest::newRow("one-digit month") << QStringLiteral("2005-1-15") << today;
        QTest::newRow("empty") << QString() << today;
        QTest::newRow("30 February") << QStringLiteral("2005-02-30") << today;
        QTest::newRow("month 13") << QStringLiteral("2005-13-01") << today;
        QTest::newRow("no separators") << QStringLiteral("20051120") << today;
        QTest::newRow("words") << QStringLiteral("last week") << today;
        QTest::newRow("before the picker") << QStringLiteral("1800-01-01") << today;
    }
    void unreadableStoredDateShowsToday() {
        QFETCH(QString, stored);
        QFETCH(QDate, shown);
        FilmShop shop;
        const QString key = KeyOf(QStringLiteral("D1"));
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Film SET StgDate='%1' WHERE ID=%2").arg(stored, key)));
        Edit e(key);
        QVERIFY(e.opened);
        QCOMPARE(e.f().dateEdit->date(), shown);
        e.Press();
        QVERIFY(e.Saved());
        QCOMPARE(Db::Value(QStringLiteral("SELECT StgDate AS v FROM Film WHERE ID=") + key),
                 shown.toString(QStringLiteral("yyyy-MM-dd")));
    }
};
VORIX_TEST(FilmEditDlgTest)
#include "tst_FilmEditDlg.moc"
