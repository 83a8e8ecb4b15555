#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdodc.h"
#include "data/CRentInfo.h"
#include "manage/CClientEditDlg.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CRecordManageDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CFilmEditDlg.h"
#include "ui_CRecordManageDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
const QString kHead = QStringLiteral(
    "SELECT r.ID, r.ClientID AS 客户编号, r.FilmID AS 影片编号, f.FilmName AS 影片名字,r.Type AS "
    "类型,r.Foregift AS 押金,r.BorrowDate AS 租借日期, r.ReturnDate AS 还回日期,r.OptUser AS 操作员 "
    "FROM Record r,Film f WHERE r.FilmID=f.FilmID");

// Six rentals, IDs 1 to 6: monthly and per-day, returned and out, one of a film that is gone and
// one of a client number that no client has.
struct RentalShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;

    explicit RentalShop(const QString& type = QStringLiteral("管理员"))
        : user(QStringLiteral("Admin"), type) {
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Client (ClientID,PhoneNum) VALUES('C1','111'),('C2','222')")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,FilmName,Type,Class1,Class2,StgDate) VALUES"
                                        "('F1','英雄','VCD','动作片','大陆','2005-01-01'),"
                                        "('F2','100%纯爱','DVD','爱情片','港台','2005-01-01'),"
                                        "('F3','O''Neil','VCD','其它片','欧美','2005-01-01')")));
        QVERIFY(Db::Exec(QStringLiteral(
            "INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) VALUES"
            "('C1','F1','月租',0,'2005-11-02','2005-11-10','Admin'),"
            "('','F2','零租',47,'2005-10-30','2005-11-01','Admin'),"
            "('C2','F3','月租',0,'2005-11-30','','Admin'),"
            "('','F1','零租',45,'2005-12-01','','Admin'),"
            "('C1','FX','月租',0,'2005-11-15','','Admin'),"
            "('C9','F2','月租',0,'2006-01-05','2006-01-06','Admin')")));
    }
};

// The rental IDs the grid shows, top to bottom.
QStringList Shown(CRecordManageDlg& dlg) {
    CAdodc* rows = dlg.DataControl();
    while (rows->canFetchMore(QModelIndex()))
        rows->fetchMore(QModelIndex());
    QStringList ids;
    for (int row = 0; row < rows->rowCount(); ++row)
        ids << rows->Text(row, 0);
    return ids;
}

// Searches by the kind's radio button; none: with no button checked.
void Search(CRecordManageDlg& dlg, QRadioButton* kind, const QString& text) {
    if (kind) {
        kind->setChecked(true);
    } else {
        dlg.Form()->clientRadio->setAutoExclusive(false);
        dlg.Form()->clientRadio->setChecked(false);
    }
    dlg.Form()->searchEdit->setText(text);
    dlg.Form()->searchButton->click();
}

// Puts the row of that rental ID first among the current rows.
void Select(CRecordManageDlg& dlg, const char* id) {
    const int row = int(Shown(dlg).indexOf(QString::fromUtf8(id)));
    QVERIFY(row >= 0);
    dlg.DataControl()->SetCurrentRow(row);
}

CDialog::ModalRunner NoEditor() {
    return [](CDialog&) { QFAIL("no editor opens"); };
}
} // namespace

class RecordManageDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnEveryRentalOfAnExistingFilmNewestFirst() {
        RentalShop rentals;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("租借记录管理"));
        QCOMPARE(dlg.m_strQuery, kHead + QStringLiteral(" ORDER BY r.ID DESC"));
        QCOMPARE(Shown(dlg), Texts({"6", "4", "3", "2", "1"})); // 5's film is gone
        QCOMPARE(dlg.Form()->filterCombo->currentText(), QStringLiteral("所有记录"));
        QVERIFY(dlg.Form()->clientRadio->isChecked());
        QVERIFY(dlg.Form()->grid->isColumnHidden(0));
        QCOMPARE(dlg.DataControl()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("操作员"));
        QVERIFY(dlg.Form()->deleteButton->isEnabled());
    }

    void filtersShowTheirRentalsOnly_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("monthly") << "月租记录"
                                 << " AND r.Type='月租' ORDER BY r.ID DESC" << Texts({"6", "3", "1"});
        QTest::newRow("per day") << "零租记录"
                                 << " AND r.Type='零租' ORDER BY r.ID DESC" << Texts({"4", "2"});
        QTest::newRow("out") << "未还记录"
                             << " AND r.ReturnDate='' ORDER BY r.ID DESC" << Texts({"4", "3"});
        QTest::newRow("all") << "所有记录"
                             << " ORDER BY r.ID DESC" << Texts({"6", "4", "3", "2", "1"});
    }
    void filtersShowTheirRentalsOnly() {
        QFETCH(QString, filter);
        QFETCH(QString, tail);
        QFETCH(QStringList, ids);
        RentalShop rentals;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->filterCombo, QStringLiteral("零租记录"));
        Pick(dlg.Form()->filterCombo, filter);
        QCOMPARE(dlg.m_strQuery, kHead + tail);
        QCOMPARE(Shown(dlg), ids);
    }

    // A clerk picks the filter that is shown to bring the whole list back after a search.
    void pickingTheShownFilterAgainAppliesIt() {
        RentalShop rentals;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Search(dlg, dlg.Form()->filmIdRadio, QStringLiteral("F3"));
        QCOMPARE(Shown(dlg), Texts({"3"}));
        Pick(dlg.Form()->filterCombo, QStringLiteral("所有记录"));
        QCOMPARE(dlg.m_strQuery, kHead + QStringLiteral(" ORDER BY r.ID DESC"));
        QCOMPARE(Shown(dlg), Texts({"6", "4", "3", "2", "1"}));
    }

    void searchesMatchTheTextAsTyped_data() {
        QTest::addColumn<int>("kind"); // -1: no kind chosen
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("client") << 0 << "C1"
                                << " AND r.ClientID='C1' ORDER BY r.ID DESC" << Texts({"1"});
        QTest::newRow("no client: per day") << 0 << ""
                                            << " AND r.ClientID='' ORDER BY r.ID DESC" << Texts({"4", "2"});
        QTest::newRow("film") << 1 << "F1"
                              << " AND r.FilmID='F1' ORDER BY r.ID DESC" << Texts({"4", "1"});
        QTest::newRow("film name") << 2 << "英"
                                   << " AND f.FilmName LIKE '%英%' ESCAPE '\\' ORDER BY r.ID DESC"
                                   << Texts({"4", "1"});
        QTest::newRow("empty name") << 2 << ""
                                    << " AND f.FilmName LIKE '%%' ESCAPE '\\' ORDER BY r.ID DESC"
                                    << Texts({"6", "4", "3", "2", "1"});
        QTest::newRow("November 2005")
            << 3 << "2005-11"
            << " AND r.BorrowDate LIKE '%2005-11%' ESCAPE '\\' ORDER BY r.ID DESC" << Texts({"3", "1"});
        QTest::newRow("no kind: date")
            << -1 << "2006"
            << " AND r.BorrowDate LIKE '%2006%' ESCAPE '\\' ORDER BY r.ID DESC" << Texts({"6"});
        QTest::newRow("quote") << 2 << "O'N"
                               << " AND f.FilmName LIKE '%O''N%' ESCAPE '\\' ORDER BY r.ID DESC"
                               << Texts({"3"});
        QTest::newRow("percent") << 2 << "%"
                                 << " AND f.FilmName LIKE '%\\%%' ESCAPE '\\' ORDER BY r.ID DESC"
                                 << Texts({"6", "2"});
        QTest::newRow("underscore") << 3 << "2005_11"
                                    << " AND r.BorrowDate LIKE '%2005\\_11%' ESCAPE '\\' ORDER BY r.ID DESC"
                                    << QStringList();
        QTest::newRow("quote that would widen")
            << 0 << "' OR ''='"
            << " AND r.ClientID=''' OR ''''=''' ORDER BY r.ID DESC" << QStringList();
    }
    void searchesMatchTheTextAsTyped() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, tail);
        QFETCH(QStringList, ids);
        RentalShop rentals;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->filterCombo, QStringLiteral("月租记录")); // plays no part in a search
        QRadioButton* kinds[] = {dlg.Form()->clientRadio, dlg.Form()->filmIdRadio, dlg.Form()->filmNameRadio,
                                 dlg.Form()->dateRadio};
        Search(dlg, kind < 0 ? nullptr : kinds[kind], text);
        if (kind == 0 || kind == 1) {
            QCOMPARE(dlg.m_strQuery, kHead + tail);
        } else {
            // Film name and date run a statement of the same rows, composed from the same text.
            const bool byName = kind == 2;
            QCOMPARE(byName ? RentGrid::FilmNameContains(text) : RentGrid::BorrowDateContains(text),
                     kHead + tail);
            QCOMPARE(dlg.m_strQuery,
                     byName ? RentGrid::FilmNameSearch(text) : RentGrid::BorrowDateSearch(text));
        }
        QCOMPARE(Shown(dlg), ids);
        QCOMPARE(dlg.Form()->filterCombo->currentText(), QStringLiteral("月租记录"));
        QCOMPARE(rentals.boxes.Texts(), QStringList());
    }

    // Each editor opens on the rental's own client or film, and its OK shows the search again.
    void editorsOpenOnTheRentalsClientAndFilmAndKeepTheSearch() {
        RentalShop rentals;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->filterCombo, QStringLiteral("零租记录"));
        Search(dlg, dlg.Form()->filmIdRadio, QStringLiteral("F1"));
        Select(dlg, "1");
        const QString search = dlg.m_strQuery;
        {
            ModalScript editor([](CDialog& dialog) {
                auto* client = dynamic_cast<CClientEditDlg*>(&dialog);
                QVERIFY(client);
                QCOMPARE(client->m_strID,
                         Db::Value(QStringLiteral("SELECT ID AS v FROM Client WHERE ClientID='C1'")));
                QCOMPARE(client->Form()->phoneEdit->text(), QStringLiteral("111"));
                client->Form()->phoneEdit->setText(QStringLiteral("999"));
                client->OnOK();
            });
            dlg.Form()->clientButton->click();
        }
        QCOMPARE(Db::Value(QStringLiteral("SELECT PhoneNum AS v FROM Client WHERE ClientID='C1'")),
                 QStringLiteral("999"));
        QCOMPARE(dlg.m_strQuery, search);
        QCOMPARE(Shown(dlg), Texts({"4", "1"}));
        {
            ModalScript editor([](CDialog& dialog) {
                auto* film = dynamic_cast<CFilmEditDlg*>(&dialog);
                QVERIFY(film);
                QCOMPARE(film->m_strID,
                         Db::Value(QStringLiteral("SELECT ID AS v FROM Film WHERE FilmID='F1'")));
                QCOMPARE(film->Form()->filmNameEdit->text(), QStringLiteral("英雄"));
                film->OnOK();
            });
            dlg.Form()->filmButton->click(); // the refresh made the newest row current: 4, of F1
        }
        QCOMPARE(dlg.m_strQuery, search);
        QCOMPARE(Shown(dlg), Texts({"4", "1"}));
        QCOMPARE(rentals.boxes.Texts(), QStringList());
    }

    // A per-day rental has no client; a number no client or film has any more opens no editor.
    void noEditorOpensWithoutItsRow() {
        RentalShop rentals;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        ModalScript editor(NoEditor());
        Select(dlg, "4");
        dlg.Form()->clientButton->click();
        Select(dlg, "6");
        dlg.Form()->clientButton->click();
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Film WHERE FilmID='F2'"))); // while the list shows it
        dlg.Form()->filmButton->click();
        QCOMPARE(rentals.boxes.Texts(),
                 Texts({"不是月租客户,没有客户信息!", "找不到客户编号为“C9”的客户,可能已被删除或改了编号。",
                        "找不到影片编号为“F2”的影片,可能已被删除或改了编号。"}));
        for (const MessageRequest& box : rentals.boxes.Boxes()) {
            QCOMPARE(box.caption, QStringLiteral("提示"));
            QCOMPARE(box.icon, MsgIcon::Warning);
        }
    }

    void everyButtonNeedsACurrentRow() {
        RentalShop rentals;
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Record")));
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        ModalScript editor(NoEditor());
        dlg.Form()->clientButton->click();
        dlg.Form()->filmButton->click();
        dlg.Form()->deleteButton->click();
        QCOMPARE(rentals.boxes.Texts(),
                 Texts({"请选择要查看的记录", "请选择要查看的记录", "请选择要删除的记录"}));
        QCOMPARE(rentals.boxes.Boxes().at(0).caption, QStringLiteral("Vorix"));
    }

    void deleteAsksAndRemovesTheRentalOnly() {
        RentalShop rentals;
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        Pick(dlg.Form()->filterCombo, QStringLiteral("未还记录"));
        rentals.boxes.Answer(IDNO);
        dlg.Form()->deleteButton->click();
        QCOMPARE(Db::Count(QStringLiteral("Record")), 6);
        rentals.boxes.Answer(IDYES);
        dlg.Form()->deleteButton->click(); // the current row: 4, out
        QCOMPARE(rentals.boxes.Texts(), Texts({"是否删除当前记录?", "是否删除当前记录?"}));
        QCOMPARE(rentals.boxes.Boxes().at(0).caption, QStringLiteral("请确认"));
        QCOMPARE(rentals.boxes.Boxes().at(0).buttons, MsgButtons::YesNo);
        QCOMPARE(rentals.boxes.Boxes().at(0).defaultButton, IDNO); // Enter keeps the rental
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ID=4")), 0);
        QCOMPARE(Db::Count(QStringLiteral("Film WHERE FilmID='F1'")), 1);
        QCOMPARE(Shown(dlg), Texts({"3"}));
    }

    void anOperatorCannotDeleteButSeesBothEditors() {
        RentalShop rentals(QStringLiteral("操作员"));
        CRecordManageDlg dlg;
        QVERIFY(dlg.OnInitDialog());
        QVERIFY(!dlg.Form()->deleteButton->isEnabled());
        int opened = 0;
        ModalScript editor([&opened](CDialog&) { ++opened; });
        Select(dlg, "1");
        dlg.Form()->clientButton->click();
        dlg.Form()->filmButton->click();
        QCOMPARE(opened, 2);
        QCOMPARE(rentals.boxes.Texts(), QStringList());
    }
};
VORIX_TEST(RecordManageDlgTest)
#include "tst_RecordManageDlg.moc"
