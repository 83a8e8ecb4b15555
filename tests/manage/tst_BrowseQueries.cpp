#include "Shop.h"
#include "TestRegistry.h"

#include "access/COperatorManageDlg.h"
#include "data/CAdodc.h"
#include "data/CRentInfo.h"
#include "manage/CClientManageDlg.h"
#include "manage/CFilmManageDlg.h"
#include "manage/CRecordManageDlg.h"
#include "ui_CClientManageDlg.h"
#include "ui_CFilmManageDlg.h"
#include "ui_CRecordManageDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The statements the browse windows show, to the byte, for what a clerk picks and types: the
// filters one by one and together, and search texts that are empty, quoted, wild, escaped or
// Chinese. Each statement also runs on the shop file without a box.
namespace {
const QString kFilmHead = QStringLiteral(
    "SELECT ID, FilmID AS 编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型,Class1 AS 分类1, "
    "Class2 AS 分类2, StgDate AS 入库日期, Degree AS 租次,Remark AS 备注 FROM Film");
const QString kClientHead =
    QStringLiteral("SELECT ID, ClientID AS 编号, PhoneNum AS 电话, CreateDate AS 开户日期, Foregift AS 押金,"
                   "Balance AS 余款, Remark AS 备注 FROM Client");
const QString kRentHead = QStringLiteral(
    "SELECT r.ID, r.ClientID AS 客户编号, r.FilmID AS 影片编号, f.FilmName AS 影片名字,r.Type AS "
    "类型,r.Foregift AS 押金,r.BorrowDate AS 租借日期, r.ReturnDate AS 还回日期,r.OptUser AS "
    "操作员 FROM Record r,Film f WHERE r.FilmID=f.FilmID");

// The search texts every search is tried with: as typed, as an equality carries it, and as a
// LIKE pattern carries it.
struct SearchText {
    const char* name;
    const char* typed;
    const char* equal;
    const char* like;
};
const SearchText kTexts[] = {
    {"empty", "", "", ""},
    {"quote", "O'Neil", "O''Neil", "O''Neil"},
    {"percent", "100%", "100%", "100\\%"},
    {"underscore", "张_三", "张_三", "张\\_三"},
    {"backslash", "C:\\", "C:\\", "C:\\\\"},
    {"Chinese", "英雄", "英雄", "英雄"},
    {"widening", "x' OR '1'='1", "x'' OR ''1''=''1", "x'' OR ''1''=''1"},
};

// One row per search text, with the statement head + before + the carried text + after.
void AddSearches(const char* kind, int kindIndex, const QString& head, const char* before, bool like,
                 const char* after) {
    for (const SearchText& text : kTexts)
        QTest::addRow("%s, %s", kind, text.name)
            << kindIndex << QString::fromUtf8(text.typed)
            << head + QString::fromUtf8(before) + QString::fromUtf8(like ? text.like : text.equal) +
                   QString::fromUtf8(after);
}

// Checks a radio button of the group, or none (index -1).
void CheckKind(std::initializer_list<QRadioButton*> kinds, int index) {
    for (QRadioButton* kind : kinds) {
        kind->setAutoExclusive(false);
        kind->setChecked(false);
        kind->setAutoExclusive(true);
    }
    if (index >= 0)
        std::data(kinds)[index]->setChecked(true);
}

void Search(QLineEdit* edit, const QString& text, QPushButton* button) {
    edit->clear();
    TypeText(edit, text);
    QCOMPARE(edit->text(), text);
    button->click();
}

// The window's statement is what its grid ran, and the engine took it.
void ExpectShown(const CBrowseDlg& dlg, const BoxRecorder& boxes, const QString& query) {
    QCOMPARE(dlg.m_strQuery, query);
    QCOMPARE(dlg.DataControl()->RecordSource(), query);
    QCOMPARE(boxes.Texts(), QStringList());
}
} // namespace

class BrowseQueriesTest : public QObject {
    Q_OBJECT
private slots:
    void filmFilters_data() {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("query");
        QTest::newRow("every film") << "所有影片"
                                    << "所有影片" << kFilmHead + QStringLiteral(" ORDER BY ID DESC");
        QTest::newRow("genre") << "动作片"
                               << "所有影片"
                               << kFilmHead + QStringLiteral("  WHERE Class1='动作片' ORDER BY ID DESC");
        QTest::newRow("region") << "所有影片"
                                << "港台"
                                << kFilmHead + QStringLiteral(" WHERE Class2='港台' ORDER BY ID DESC");
        QTest::newRow("genre and region")
            << "其它片"
            << "欧美"
            << kFilmHead + QStringLiteral(" WHERE Class1='其它片' AND Class2='欧美' ORDER BY ID DESC");
    }
    void filmFilters() {
        QFETCH(QString, genre);
        QFETCH(QString, region);
        QFETCH(QString, query);
        TempShop shop;
        BoxRecorder boxes;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.m_strQuery, kFilmHead + QStringLiteral(" ORDER BY ID DESC"));
        Pick(dlg.Form()->genreCombo, genre);
        Pick(dlg.Form()->regionCombo, region);
        ExpectShown(dlg, boxes, query);
    }

    void filmSearches_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        const char* like = "%' ESCAPE '\\' ORDER BY ID DESC";
        AddSearches("code", 0, kFilmHead, " WHERE FilmID='", false, "' ORDER BY ID DESC");
        AddSearches("title", 1, kFilmHead, " WHERE FilmName LIKE '%", true, like);
        AddSearches("actor", 2, kFilmHead, " WHERE Playactor LIKE '%", true, like);
        AddSearches("no kind", -1, kFilmHead, " WHERE Playactor LIKE '%", true, like);
    }
    void filmSearches() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, query);
        TempShop shop;
        BoxRecorder boxes;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        CheckKind({dlg.Form()->codeRadio, dlg.Form()->titleRadio, dlg.Form()->actorRadio}, kind);
        Search(dlg.Form()->searchEdit, text, dlg.Form()->searchButton);
        ExpectShown(dlg, boxes, query);
    }

    void clientSearches_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        // An empty field lists every client.
        QTest::newRow("empty") << 0 << QString() << kClientHead + QStringLiteral(" ORDER BY ID DESC");
        for (const SearchText& text : kTexts) {
            if (*text.typed)
                QTest::newRow(text.name)
                    << 0 << QString::fromUtf8(text.typed)
                    << kClientHead + QStringLiteral(" WHERE ClientID='") + QString::fromUtf8(text.equal) +
                           QStringLiteral("' ORDER BY ID DESC");
        }
    }
    void clientSearches() {
        QFETCH(QString, text);
        QFETCH(QString, query);
        TempShop shop;
        BoxRecorder boxes;
        CClientManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.m_strQuery, kClientHead + QStringLiteral(" ORDER BY ID DESC"));
        Search(dlg.Form()->searchEdit, text, dlg.Form()->searchButton);
        ExpectShown(dlg, boxes, query);
    }

    void rentFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("query");
        QTest::newRow("monthly") << "月租记录"
                                 << kRentHead + QStringLiteral(" AND r.Type='月租' ORDER BY r.ID DESC");
        QTest::newRow("per day") << "零租记录"
                                 << kRentHead + QStringLiteral(" AND r.Type='零租' ORDER BY r.ID DESC");
        QTest::newRow("out") << "未还记录"
                             << kRentHead + QStringLiteral(" AND r.ReturnDate='' ORDER BY r.ID DESC");
        QTest::newRow("all") << "所有记录" << kRentHead + QStringLiteral(" ORDER BY r.ID DESC");
    }
    void rentFilters() {
        QFETCH(QString, filter);
        QFETCH(QString, query);
        TempShop shop;
        BoxRecorder boxes;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.m_strQuery, kRentHead + QStringLiteral(" ORDER BY r.ID DESC"));
        Pick(dlg.Form()->filterCombo, QStringLiteral("未还记录"));
        Pick(dlg.Form()->filterCombo, filter);
        ExpectShown(dlg, boxes, query);
    }

    void rentSearches_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        const char* equal = "' ORDER BY r.ID DESC";
        const char* like = "%' ESCAPE '\\' ORDER BY r.ID DESC";
        AddSearches("client", 0, kRentHead, " AND r.ClientID='", false, equal);
        AddSearches("film code", 1, kRentHead, " AND r.FilmID='", false, equal);
        AddSearches("film name", 2, kRentHead, " AND f.FilmName LIKE '%", true, like);
        AddSearches("date", 3, kRentHead, " AND r.BorrowDate LIKE '%", true, like);
        AddSearches("no kind", -1, kRentHead, " AND r.BorrowDate LIKE '%", true, like);
    }
    void rentSearches() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, query);
        TempShop shop;
        BoxRecorder boxes;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        const auto* form = dlg.Form();
        CheckKind({form->clientRadio, form->filmIdRadio, form->filmNameRadio, form->dateRadio}, kind);
        Search(form->searchEdit, text, form->searchButton);
        if (kind == 0 || kind == 1) {
            ExpectShown(dlg, boxes, query);
            return;
        }
        // The film-name and date searches run a statement of the same rows (their own test proves it),
        // composed from the text as the one they stand for.
        const bool byName = kind == 2;
        QCOMPARE(byName ? RentGrid::FilmNameContains(text) : RentGrid::BorrowDateContains(text), query);
        ExpectShown(dlg, boxes, byName ? RentGrid::FilmNameSearch(text) : RentGrid::BorrowDateSearch(text));
    }

    void operatorList() {
        TempShop shop;
        BoxRecorder boxes;
        COperatorManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.DataControl()->RecordSource(), QStringLiteral("SELECT ID,OptName FROM Operator"));
        QCOMPARE(dlg.DataControl()->rowCount(), 1);
        // No column of the model carries the password or its hash.
        const CAdodc* model = dlg.DataControl();
        QStringList headings;
        for (int column = 0; column < model->columnCount(); ++column)
            headings << model->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headings, QStringList({QStringLiteral("ID"), QStringLiteral("OptName")}));
        QCOMPARE(boxes.Texts(), QStringList());
    }
};

VORIX_TEST(BrowseQueriesTest)
#include "tst_BrowseQueries.moc"
