#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdodc.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CFilmManageDlg.h"
#include "ui_CFilmEditDlg.h"
#include "ui_CFilmManageDlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
// A catalogue of five films, the newest last: codes, titles, actors, genres and regions that the
// filters and searches tell apart.
struct FilmListShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;

    explicit FilmListShop(const QString& type = QStringLiteral("管理员"))
        : user(QStringLiteral("Admin"), type) {
        Add("F1", "英雄", "李连杰", "动作片", "大陆");
        Add("F2", "100%纯爱", "张_三", "爱情片", "港台");
        Add("F3", "O'Neil", "李四", "动作片", "港台");
        Add("F4", "无间道", "刘德华", "警匪片", "大陆"); // a genre the lists do not hold
        Add("F5", "其它", "王五", "其它片", "其它");
    }
    static void Add(const char* code, const char* name, const char* actor, const char* genre,
                    const char* region) {
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,"
                           "Degree) VALUES('%1','%2','%3','VCD','%4','%5','2026-01-01',0)")
                .arg(QString::fromUtf8(code),
                     QString::fromUtf8(name).replace(QLatin1Char('\''), QStringLiteral("''")),
                     QString::fromUtf8(actor), QString::fromUtf8(genre), QString::fromUtf8(region))));
    }
};

// The codes the grid shows, top to bottom.
QStringList ShownCodes(CFilmManageDlg& dlg) {
    CAdodc* rows = dlg.DataControl();
    while (rows->canFetchMore(QModelIndex()))
        rows->fetchMore(QModelIndex());
    QStringList codes;
    for (int row = 0; row < rows->rowCount(); ++row)
        codes << rows->Text(row, 1);
    return codes;
}

// Fills a film editor opened by the window and confirms it.
CDialog::ModalRunner FillEditor(const QString& code, const QString& name) {
    return [=](CDialog& dialog) {
        auto& editor = static_cast<CFilmEditDlg&>(dialog);
        editor.Form()->filmIdEdit->setText(code);
        editor.Form()->filmNameEdit->setText(name);
        editor.OnOK();
    };
}
} // namespace

class FilmManageDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheWholeCatalogueNewestFirst() {
        FilmListShop films;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("影片管理"));
        QCOMPARE(dlg.m_strQuery,
                 QStringLiteral("SELECT ID, FilmID AS 编号, FilmName AS 片名, Playactor AS 主演, "
                                "Type AS 类型,Class1 AS 分类1, Class2 AS 分类2, StgDate AS 入库日期, "
                                "Degree AS 租次,Remark AS 备注 FROM Film ORDER BY ID DESC"));
        QCOMPARE(ShownCodes(dlg), Texts({"F5", "F4", "F3", "F2", "F1"}));
        QCOMPARE(dlg.Form()->genreCombo->count(), 12);
        QCOMPARE(dlg.Form()->regionCombo->count(), 6);
        QCOMPARE(dlg.Form()->genreCombo->currentText(), QStringLiteral("所有影片"));
        QVERIFY(dlg.Form()->codeRadio->isChecked());
        QVERIFY(dlg.Form()->grid->isColumnHidden(0));
        QCOMPARE(dlg.DataControl()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("片名"));
        QVERIFY(dlg.Form()->addButton->isEnabled());
    }

    void filtersShowTheirFilmsOnly_data() {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("genre") << "动作片"
                               << "所有影片"
                               << "FROM Film  WHERE Class1='动作片' ORDER BY ID DESC" << Texts({"F3", "F1"});
        QTest::newRow("region") << "所有影片"
                                << "港台"
                                << "FROM Film WHERE Class2='港台' ORDER BY ID DESC" << Texts({"F3", "F2"});
        QTest::newRow("both") << "动作片"
                              << "大陆"
                              << "FROM Film WHERE Class1='动作片' AND Class2='大陆' ORDER BY ID DESC"
                              << Texts({"F1"});
        QTest::newRow("其它片 only as stored")
            << "其它片"
            << "所有影片"
            << "FROM Film  WHERE Class1='其它片' ORDER BY ID DESC" << Texts({"F5"});
        QTest::newRow("back to all") << "所有影片"
                                     << "所有影片"
                                     << "FROM Film ORDER BY ID DESC" << Texts({"F5", "F4", "F3", "F2", "F1"});
    }
    void filtersShowTheirFilmsOnly() {
        QFETCH(QString, genre);
        QFETCH(QString, region);
        QFETCH(QString, tail);
        QFETCH(QStringList, codes);
        FilmListShop films;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->regionCombo, QStringLiteral("欧美"));
        Pick(dlg.Form()->genreCombo, genre);
        Pick(dlg.Form()->regionCombo, region);
        QVERIFY2(dlg.m_strQuery.endsWith(QStringLiteral("Remark AS 备注 ") + tail),
                 qPrintable(dlg.m_strQuery));
        QCOMPARE(ShownCodes(dlg), codes);
    }

    // A clerk picks the filter that is shown to bring its list back after a search.
    void pickingTheShownFilterAgainAppliesIt_data() {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("all films") << "所有影片" << Texts({"F5", "F4", "F3", "F2", "F1"});
        QTest::newRow("one genre") << "动作片" << Texts({"F3", "F1"});
    }
    void pickingTheShownFilterAgainAppliesIt() {
        QFETCH(QString, genre);
        QFETCH(QStringList, codes);
        FilmListShop films;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->genreCombo, genre);
        dlg.Form()->searchEdit->setText(QStringLiteral("F2"));
        dlg.Form()->searchButton->click();
        QCOMPARE(ShownCodes(dlg), Texts({"F2"}));
        Pick(dlg.Form()->genreCombo, genre);
        QCOMPARE(ShownCodes(dlg), codes);
    }

    void searchesMatchTheTextAsTyped_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("code") << 0 << "F3" << Texts({"F3"});
        QTest::newRow("code in other case") << 0 << "f3" << Texts({"F3"});
        QTest::newRow("empty code") << 0 << "" << QStringList();
        QTest::newRow("title part") << 1 << "间" << Texts({"F4"});
        QTest::newRow("empty title") << 1 << "" << Texts({"F5", "F4", "F3", "F2", "F1"});
        QTest::newRow("quote") << 1 << "O'N" << Texts({"F3"});
        QTest::newRow("percent") << 1 << "%" << Texts({"F2"});
        QTest::newRow("underscore") << 2 << "_" << Texts({"F2"});
        QTest::newRow("backslash") << 2 << "\\" << QStringList();
        QTest::newRow("quote that would widen") << 0 << "' OR ''='" << QStringList();
        QTest::newRow("actor") << 2 << "李" << Texts({"F3", "F1"});
    }
    void searchesMatchTheTextAsTyped() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        FilmListShop films;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->genreCombo, QStringLiteral("爱情片")); // plays no part in a search
        QRadioButton* kinds[] = {dlg.Form()->codeRadio, dlg.Form()->titleRadio, dlg.Form()->actorRadio};
        kinds[kind]->setChecked(true);
        dlg.Form()->searchEdit->setText(text);
        dlg.Form()->searchButton->click();
        QCOMPARE(ShownCodes(dlg), codes);
        QCOMPARE(films.boxes.Texts(), QStringList());
    }

    void changingAndDeletingNeedACurrentRow() {
        FilmListShop films;
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Film")));
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        ModalScript noEditor([](CDialog&) { QFAIL("no editor opens without a current row"); });
        dlg.Form()->modifyButton->click();
        dlg.Form()->deleteButton->click();
        QCOMPARE(films.boxes.Texts(), Texts({"请选择要修改的记录", "请选择要删除的记录"}));
        QCOMPARE(films.boxes.Boxes().at(0).caption, QStringLiteral("Vorix"));
    }

    void deleteAsksFirst() {
        FilmListShop films;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        films.boxes.Answer(IDNO);
        dlg.Form()->deleteButton->click();
        QCOMPARE(Db::Count(QStringLiteral("Film")), 5);
        films.boxes.Answer(IDYES);
        dlg.Form()->deleteButton->click(); // the current row is the newest film
        QCOMPARE(films.boxes.Texts(), Texts({"是否删除当前记录?", "是否删除当前记录?"}));
        QCOMPARE(films.boxes.Boxes().at(0).caption, QStringLiteral("请确认"));
        QCOMPARE(films.boxes.Boxes().at(0).defaultButton, IDNO); // Enter keeps the film
        QCOMPARE(Db::Count(QStringLiteral("Film WHERE FilmID='F5'")), 0);
        QCOMPARE(ShownCodes(dlg), Texts({"F4", "F3", "F2", "F1"}));
    }

    // A film that is out keeps its row, or its rental could never be returned; once it is back
    // it may go. Its code's other letter case is the same film to the engine.
    void aFilmThatIsOutIsNotDeleted_data() {
        QTest::addColumn<QString>("rented");
        QTest::addColumn<QString>("returned");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("out") << "F5"
                             << "" << false;
        QTest::newRow("out, other case") << "f5"
                                         << "" << false;
        QTest::newRow("returned") << "F5"
                                  << "2026-01-03" << true;
        QTest::newRow("another film out") << "F4"
                                          << "" << true;
    }
    void aFilmThatIsOutIsNotDeleted() {
        QFETCH(QString, rented);
        QFETCH(QString, returned);
        QFETCH(bool, deleted);
        FilmListShop films;
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,"
                                    "OptUser) VALUES('C1','%1','月租',0,'2026-01-02','%2','Admin')")
                         .arg(rented, returned)));
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        films.boxes.Answer(IDYES);
        dlg.Form()->deleteButton->click(); // the current row: F5
        QCOMPARE(Db::Count(QStringLiteral("Film WHERE FilmID='F5'")), deleted ? 0 : 1);
        QCOMPARE(Db::Count(QStringLiteral("Record")), 1);
        QStringList expected = Texts({"是否删除当前记录?"});
        if (!deleted) {
            expected << QStringLiteral("影片“F5”已租出,尚未归还,不能删除。请先归还此片。");
            QCOMPARE(films.boxes.Boxes().at(1).icon, MsgIcon::Warning);
        }
        QCOMPARE(films.boxes.Texts(), expected);
        QCOMPARE(ShownCodes(dlg).size(), deleted ? 4 : 5);
    }

    void editorWritesWhileTheGridIsOpenAndTheFilterStays() {
        FilmListShop films;
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->regionCombo, QStringLiteral("大陆"));
        QVERIFY(dlg.DataControl()->canFetchMore(QModelIndex()) || dlg.DataControl()->rowCount() > 0);
        {
            ModalScript editor(FillEditor(QStringLiteral("F6"), QStringLiteral("新片")));
            dlg.Form()->addButton->click();
        }
        QCOMPARE(films.boxes.Texts(), QStringList());
        // The new film is 大陆 (the editor's first region), so the filter shows it on top.
        QCOMPARE(ShownCodes(dlg), Texts({"F6", "F4", "F1"}));
        {
            ModalScript editor(FillEditor(QStringLiteral("F7"), QStringLiteral("改名")));
            dlg.Form()->modifyButton->click(); // the current row: F6
        }
        QCOMPARE(Db::Value(QStringLiteral("SELECT FilmName AS v FROM Film WHERE FilmID='F7'")),
                 QStringLiteral("改名"));
        QCOMPARE(ShownCodes(dlg), Texts({"F7", "F4", "F1"}));
    }

    // A double click opens the clicked film as 修改 does, for those who may change films.
    void doubleClickOpensTheFilmWhereChangeIsAllowed_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("opens");
        QTest::newRow("administrator") << "管理员" << true;
        QTest::newRow("operator") << "操作员" << false;
    }
    void doubleClickOpensTheFilmWhereChangeIsAllowed() {
        QFETCH(QString, type);
        QFETCH(bool, opens);
        FilmListShop films(type);
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QStringList opened;
        {
            ModalScript editor([&](CDialog& dialog) {
                opened << static_cast<CFilmEditDlg&>(dialog).Form()->filmIdEdit->text();
                dialog.OnCancel();
            });
            DoubleClickRow(dlg.Form()->grid, 1);
        }
        QCOMPARE(opened, opens ? Texts({"F4"}) : QStringList());
        QCOMPARE(films.boxes.Texts(), QStringList());
    }

    // A click on 主演 sorts the catalogue by the actors; the window's own statement stays as it is,
    // a filter keeps the order, and 修改 opens the film of the row chosen in it.
    void aHeadingSortsWhileTheStatementStays() {
        FilmListShop films;
        CFilmManageDlg dlg;
        dlg.resize(1000, 600);
        dlg.show();
        QVERIFY(dlg.OnInitDialog());
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QString statement = dlg.m_strQuery;
        QHeaderView* header = dlg.Form()->grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
        QCOMPARE(ShownCodes(dlg), Texts({"F4", "F2", "F3", "F1", "F5"})); // 刘 张 李四 李连 王: by code point
        QCOMPARE(dlg.m_strQuery, statement);
        Pick(dlg.Form()->genreCombo, QStringLiteral("动作片"));
        QCOMPARE(ShownCodes(dlg), Texts({"F3", "F1"}));
        dlg.DataControl()->SetCurrentRow(1);
        QString opened;
        ModalScript script([&](CDialog& dialog) { opened = static_cast<CFilmEditDlg&>(dialog).m_strID; });
        dlg.OnModify();
        QCOMPARE(opened, Db::Value(QStringLiteral("SELECT ID AS v FROM Film WHERE FilmID='F1'")));
        QCOMPARE(films.boxes.Boxes().size(), 0);
    }

    void anOperatorOnlyBrowses() {
        FilmListShop films(QStringLiteral("操作员"));
        CFilmManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QVERIFY(!dlg.Form()->addButton->isEnabled());
        QVERIFY(!dlg.Form()->modifyButton->isEnabled());
        QVERIFY(!dlg.Form()->deleteButton->isEnabled());
        Pick(dlg.Form()->genreCombo, QStringLiteral("爱情片"));
        QCOMPARE(ShownCodes(dlg), Texts({"F2"}));
        dlg.Form()->searchEdit->setText(QStringLiteral("F1"));
        dlg.Form()->searchButton->click();
        QCOMPARE(ShownCodes(dlg), Texts({"F1"}));
    }
};
VORIX_TEST(FilmManageDlgTest)
#include "tst_FilmManageDlg.moc"
