#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdodc.h"
#include "desk/CPickDlg.h"
#include "manage/CClientEditDlg.h"
#include "manage/CClientManageDlg.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CFilmManageDlg.h"
#include "toolkit/CQuickFind.h"
#include "ui_CClientEditDlg.h"
#include "ui_CFilmEditDlg.h"
#include "ui_CFilmManageDlg.h"
#include "ui_CPickDlg.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const char* const kRenameVariable = "VORIX_RENAME_FILM"; // "CODE TITLE"

// Adds a film through the film editor, as a clerk does.
void AddFilm(const QString& code, const QString& title, const QString& actor) {
    CFilmEditDlg edit;
    edit.show();
    QVERIFY(edit.OnInitDialog());
    edit.Form()->filmIdEdit->setText(code);
    edit.Form()->filmNameEdit->setText(title);
    edit.Form()->playactorEdit->setText(actor);
    edit.OnOK();
    QVERIFY(edit.IsEnded());
}

void AddClient(const QString& code, const QString& phone, const QString& remark) {
    CClientEditDlg edit;
    edit.show();
    QVERIFY(edit.OnInitDialog());
    edit.Form()->clientEdit->setText(code);
    edit.Form()->phoneEdit->setText(phone);
    edit.Form()->remarkEdit->setPlainText(remark);
    edit.OnOK();
    QVERIFY(edit.IsEnded());
}

// The first column of every row a data control shows.
QString FirstColumn(const CAdodc* rows, int column = 0) {
    QStringList codes;
    for (int row = 0; row < rows->rowCount(); ++row)
        codes << rows->data(rows->index(row, column)).toString();
    return codes.join(u' ');
}

// A picker's rows after the clerk typed text and paused.
QString Picked(CPickDlg& pick, const QString& text) {
    pick.Form()->searchEdit->clear();
    TypeText(pick.Form()->searchEdit, text);
    pick.OnSearch();
    return FirstColumn(pick.DataControl());
}

QString QuickFound(CBrowseDlg& window, const QString& text, int column) {
    auto* find = window.findChild<CQuickFind*>();
    find->Edit()->clear();
    TypeText(find->Edit(), text);
    QTest::keyClick(find->Edit(), Qt::Key_Return);
    return FirstColumn(window.DataControl(), column);
}

struct PinyinShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn admin{u"Admin"_s, u"管理员"_s};

    PinyinShop() {
        AddFilm(u"F001"_s, u"长江七号"_s, u"周星驰"_s);
        AddFilm(u"F002"_s, u"重慶森林"_s, u"梁朝伟 王菲"_s);
        AddFilm(u"F003"_s, u"英雄"_s, u"李连杰"_s);
        AddFilm(u"F004"_s, u"2046"_s, u"梁朝伟"_s);
        AddFilm(u"CJ100"_s, u"功夫"_s, QString());
        AddClient(u"C001"_s, u"138-0013-8000"_s, u"张三 老顾客"_s);
        AddClient(u"C002"_s, u"66012345"_s, u"李四"_s);
    }
};
} // namespace

// Films and clients found by their pinyin initials, full pinyin, codes and phone digits, in the
// desk's pickers and the quick finds of the film and client windows.
class PinyinFindTest : public QObject {
    Q_OBJECT
private slots:
    void filmPickerFindsByInitials() {
        PinyinShop shop;
        CPickDlg pick(CPickDlg::Kind::Film);
        pick.show();
        QVERIFY(pick.OnInitDialog());
        // The title's initials first, then the code that begins so.
        QCOMPARE(Picked(pick, u"cj"_s), u"F001 CJ100"_s);
        QCOMPARE(Picked(pick, u"CJQH"_s), u"F001"_s);
        QCOMPARE(Picked(pick, u"zjqh"_s), u"F001"_s); // 长 read zhang
        QCOMPARE(Picked(pick, u"zqsl"_s), u"F002"_s); // traditional 慶, 重 read zhong
        QCOMPARE(Picked(pick, u"cqsl"_s), u"F002"_s);
        QCOMPARE(Picked(pick, u"chongqing"_s), u"F002"_s);
        QCOMPARE(Picked(pick, u"lcw"_s), u"F002 F004"_s); // an actor
        QCOMPARE(Picked(pick, u"wf"_s), u"F002"_s);       // the second actor
        QCOMPARE(Picked(pick, u"2046"_s), u"F004"_s);
        QCOMPARE(Picked(pick, u"qh"_s), u"F001"_s); // inside the key
        QCOMPARE(Picked(pick, u"f00"_s), u"F001 F002 F003 F004"_s);
        QCOMPARE(Picked(pick, u"xyz"_s), QString());
        QCOMPARE(Picked(pick, u"长江"_s), u"F001"_s); // Chinese finds the titles as before
        QCOMPARE(Picked(pick, u"yx"_s), u"F003"_s);
        QTest::keyClick(pick.Form()->searchEdit, Qt::Key_Return);
        QCOMPARE(pick.m_strPicked, u"F003"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void clientPickerFindsByInitialsAndPhone() {
        PinyinShop shop;
        CPickDlg pick(CPickDlg::Kind::Client);
        pick.show();
        QVERIFY(pick.OnInitDialog());
        QCOMPARE(Picked(pick, u"zs"_s), u"C001"_s);
        QCOMPARE(Picked(pick, u"lgk"_s), u"C001"_s);
        QCOMPARE(Picked(pick, u"1380"_s), u"C001"_s);
        QCOMPARE(Picked(pick, u"0138"_s), u"C001"_s); // phone digits inside
        QCOMPARE(Picked(pick, u"ls"_s), u"C002"_s);
        QCOMPARE(Picked(pick, u"c00"_s), u"C001 C002"_s);
        QCOMPARE(Picked(pick, u"张三"_s), u"C001"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // The quick find sits beside the window's own search, which stays as it was.
    void filmWindowQuickFind() {
        PinyinShop shop;
        CFilmManageDlg films;
        films.show();
        QVERIFY(films.OnInitDialog());
        QCOMPARE(QuickFound(films, u"zqsl"_s, 1), u"F002"_s);
        QVERIFY(!films.IsEnded()); // Enter found; it pressed no button
        QVERIFY(films.minimumSizeHint().width() <= 1024);
        auto* find = films.findChild<CQuickFind*>();
        QCOMPARE(find->Edit()->accessibleName(), u"快速查找："_s);

        QCOMPARE(QuickFound(films, u"cj"_s, 1), u"F001 CJ100"_s);
        QCOMPARE(QuickFound(films, u"英雄"_s, 1), u"F003"_s);
        QCOMPARE(QuickFound(films, QString(), 1), u"CJ100 F004 F003 F002 F001"_s);
        films.Form()->searchEdit->setText(u"F001"_s);
        films.OnSearch();
        QCOMPARE(FirstColumn(films.DataControl(), 1), u"F001"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void clientWindowQuickFind() {
        PinyinShop shop;
        CClientManageDlg clients;
        clients.show();
        QVERIFY(clients.OnInitDialog());
        QCOMPARE(QuickFound(clients, u"1380"_s, 1), u"C001"_s);
        QVERIFY(clients.minimumSizeHint().width() <= 1024);

        QCOMPARE(QuickFound(clients, u"张三"_s, 1), u"C001"_s);
        QCOMPARE(QuickFound(clients, u"ls"_s, 1), u"C002"_s);
        QCOMPARE(QuickFound(clients, u"6601"_s, 1), u"C002"_s);
        QCOMPARE(QuickFound(clients, u"nobody"_s, 1), QString());
        QVERIFY(!clients.IsEnded());
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // A film renamed at another desk is found at this one by its new initials, no longer by its old.
    void renamedAtAnotherDeskFoundByNewInitials() {
        PinyinShop shop;
        CPickDlg pick(CPickDlg::Kind::Film);
        pick.show();
        QVERIFY(pick.OnInitDialog());
        QCOMPARE(Picked(pick, u"yx"_s), u"F003"_s);
        QProcess desk;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kRenameVariable), u"F003 霸王别姬"_s);
        desk.setProcessEnvironment(env);
        desk.setProcessChannelMode(QProcess::MergedChannels);
        desk.start(QCoreApplication::applicationFilePath(), {u"-class"_s, u"RenameDeskChild"_s});
        QVERIFY(desk.waitForFinished(60000));
        QVERIFY2(desk.exitCode() == 0, desk.readAll().constData());
        QCOMPARE(Picked(pick, u"bwbj"_s), u"F003"_s);
        QCOMPARE(Picked(pick, u"yx"_s), QString());
        QCOMPARE(Db::Count(u"FilmKey WHERE Pinyin='yx'"_s), 0);
    }

    // Deleting a film or a client takes its keys with it.
    void deletedRowsLeaveNoKeys() {
        PinyinShop shop;
        const QString film = Db::Value(u"SELECT ID AS v FROM Film WHERE FilmID='F003'"_s);
        const QString client = Db::Value(u"SELECT ID AS v FROM Client WHERE ClientID='C002'"_s);
        QVERIFY(Db::Count(u"FilmKey WHERE Film="_s + film) > 0);
        QVERIFY(Db::Count(u"ClientKey WHERE Client="_s + client) > 0);
        CFilmManageDlg films;
        films.show();
        QVERIFY(films.OnInitDialog());
        QCOMPARE(QuickFound(films, u"yx"_s, 1), u"F003"_s);
        shop.boxes.Answer(IDYES);
        films.OnDelete();
        QCOMPARE(Db::Count(u"Film WHERE FilmID='F003'"_s), 0);
        QCOMPARE(Db::Count(u"FilmKey WHERE Film="_s + film), 0);
        CClientManageDlg clients;
        clients.show();
        QVERIFY(clients.OnInitDialog());
        QCOMPARE(QuickFound(clients, u"ls"_s, 1), u"C002"_s);
        shop.boxes.Answer(IDYES);
        shop.boxes.Answer(IDYES);
        clients.OnDelete();
        QCOMPARE(Db::Count(u"ClientKey WHERE Client="_s + client), 0);
        QVERIFY(Db::Count(u"ClientKey"_s) > 0); // the other client's stay
    }
};
VORIX_TEST(PinyinFindTest)

// The other desk of renamedAtAnotherDeskFoundByNewInitials: renames a film in the film editor.
class RenameDeskChild : public QObject {
    Q_OBJECT
private slots:
    void rename() {
        const QStringList task = qEnvironmentVariable(kRenameVariable).split(u' ');
        if (task.size() < 2)
            QSKIP("runs as the other desk of PinyinFindTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        CFilmEditDlg edit;
        edit.m_strID = Db::Value(u"SELECT ID AS v FROM Film WHERE FilmID='%1'"_s.arg(task[0]));
        edit.show();
        QVERIFY(edit.OnInitDialog());
        edit.Form()->filmNameEdit->setText(task[1]);
        edit.OnOK();
        QVERIFY(edit.IsEnded());
        QCOMPARE(boxes.Texts(), QStringList());
    }
};
VORIX_TEST(RenameDeskChild)

#include "tst_PinyinFind.moc"
