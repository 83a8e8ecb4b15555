#include "Shop.h"
#include "TestRegistry.h"

#include "access/COperatorAddDlg.h"
#include "access/COperatorManageDlg.h"
#include "access/CPasswordDlg.h"
#include "access/Session.h"
#include "data/AuditTrail.h"
#include "data/CAdodc.h"
#include "desk/CExchangeDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "desk/CReceiptSettingDlg.h"
#include "manage/CAuditDlg.h"
#include "manage/CClientEditDlg.h"
#include "manage/CClientManageDlg.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CFilmManageDlg.h"
#include "manage/CRecordManageDlg.h"
#include "toolkit/CDataList.h"
#include "ui_CClientEditDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CFilmEditDlg.h"
#include "ui_COperatorAddDlg.h"
#include "ui_COperatorManageDlg.h"
#include "ui_CPasswordDlg.h"
#include "ui_CPriceSettingDlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// A shop with two films, one of them lent to a client, and an administrator at the desk.
struct TrailShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn admin{u"Admin"_s, u"管理员"_s};
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(15, 30))};

    TrailShop() {
        QVERIFY(
            Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark) "
                     "VALUES ('V1','英雄','李连杰','VCD','动作片','大陆','2026-01-01',0,''),"
                     "('D1','无间道','刘德华','DVD','动作片','大陆','2005-11-20',7,'')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) VALUES "
                         "('C1','5551234','2026-01-01',50,100,'老主顾')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
                         "VALUES ('C1','V1','月租',0,'2026-12-01','','Admin')"_s));
    }
};

// The trail as "operator|kind|key|text" lines, oldest first.
QStringList Trail() {
    const QString rows =
        Db::Rows(u"SELECT OptUser, Kind, ItemKey, Detail FROM AuditTrail ORDER BY ID"_s, u'|', u'\n');
    return rows.split(u'\n', Qt::SkipEmptyParts);
}

QString FilmKey(const QString& code) {
    return Db::Value(u"SELECT ID AS v FROM Film WHERE FilmID='%1'"_s.arg(code));
}

// The film editor opened on a key ("" for a new film), filled by fill, then confirmed.
bool EditFilm(const QString& key, const std::function<void(Ui::CFilmEditDlg&)>& fill, bool confirm = true) {
    CFilmEditDlg dlg;
    dlg.m_strID = key;
    if (!dlg.OnInitDialog())
        return false;
    fill(*dlg.Form());
    confirm ? dlg.OnOK() : dlg.OnCancel();
    return dlg.IsEnded() && dlg.Result() == IDOK;
}

bool EditClient(const QString& key, const std::function<void(Ui::CClientEditDlg&)>& fill) {
    CClientEditDlg dlg;
    dlg.m_strID = key;
    if (!dlg.OnInitDialog())
        return false;
    fill(*dlg.Form());
    dlg.OnOK();
    return dlg.IsEnded() && dlg.Result() == IDOK;
}
} // namespace

// Every change outside the ledger leaves one row of the trail, written with the change: who, what
// kind, the code it concerns, and what it was before.
class AuditTrailTest : public QObject {
    Q_OBJECT
private slots:
    void filmsAddedChangedAndDeletedLeaveOneRowEach() {
        TrailShop s;
        QVERIFY(EditFilm(QString(), [](Ui::CFilmEditDlg& f) {
            f.filmIdEdit->setText(u"F9"_s);
            f.filmNameEdit->setText(u"花样年华"_s);
        }));
        QCOMPARE(Trail(), QStringList{u"Admin|影片新增|F9|编号: F9; 片名: 花样年华; 主演: ; 类型: VCD; 类别: "
                                      "动作片; 地区: 大陆; 日期: 2026-12-07; 租次: 0; 备注: "_s});
        // Only the fields that changed, before and after.
        QVERIFY(EditFilm(FilmKey(u"D1"_s), [](Ui::CFilmEditDlg& f) {
            f.filmIdEdit->setText(u"D2"_s);
            f.playactorEdit->setText(u"梁朝伟"_s);
        }));
        QCOMPARE(Trail().at(1), u"Admin|影片修改|D2|编号: D1 → D2; 主演: 刘德华 → 梁朝伟"_s);
        // Saved as it was, or cancelled: no row.
        QVERIFY(EditFilm(FilmKey(u"D2"_s), [](Ui::CFilmEditDlg&) {}));
        QVERIFY(!EditFilm(
            FilmKey(u"D2"_s), [](Ui::CFilmEditDlg& f) { f.filmNameEdit->setText(u"X"_s); }, false));
        QCOMPARE(Trail().size(), 2);

        CFilmManageDlg films;
        films.show();
        QVERIFY(films.OnInitDialog());
        films.DataControl()->SetCurrentRow(0); // newest first: F9
        s.boxes.Answer(IDYES);
        films.OnDelete();
        QCOMPARE(Trail().size(), 3);
        QCOMPARE(Trail().at(2),
                 u"Admin|影片删除|F9|编号: F9; 片名: 花样年华; 主演: ; 类型: VCD; 类别: 动作片; "
                 "地区: 大陆; 日期: 2026-12-07; 租次: 0; 备注: "_s);
    }

    void clientsAddedChangedAndDeletedLeaveOneRowEach() {
        TrailShop s;
        QVERIFY(EditClient(QString(), [](Ui::CClientEditDlg& f) {
            f.clientEdit->setText(u"C2"_s);
            f.phoneEdit->setText(u"138"_s);
        }));
        QCOMPARE(Trail().size(), 1);
        QVERIFY2(
            Trail().at(0).startsWith(u"Admin|客户新增|C2|编号: C2; 电话: 138; 日期: 2026-12-07; 押金: "_s),
            qPrintable(Trail().at(0)));
        const QString key = Db::Value(u"SELECT ID AS v FROM Client WHERE ClientID='C1'"_s);
        QVERIFY(EditClient(key, [](Ui::CClientEditDlg& f) {
            f.balanceEdit->setText(u"120"_s);
            f.remarkEdit->setPlainText(u"常客"_s);
        }));
        QCOMPARE(Trail().at(1), u"Admin|客户修改|C1|余款: 100.00 → 120.00; 备注: 老主顾 → 常客"_s);

        CClientManageDlg clients;
        clients.show();
        QVERIFY(clients.OnInitDialog());
        clients.DataControl()->SetCurrentRow(1); // newest first: C2, then C1
        s.boxes.Answer(IDYES);
        s.boxes.Answer(IDYES);
        clients.OnDelete();
        QCOMPARE(Db::Count(u"Client WHERE ClientID='C1'"_s), 0);
        QCOMPARE(Trail().size(), 3);
        QCOMPARE(
            Trail().at(2),
            u"Admin|客户删除|C1|编号: C1; 电话: 5551234; 日期: 2026-01-01; 押金: 50.00; 余款: 120.00; 备注: 常客"_s);
    }

    // The operators' rows say whose password changed and who changed it; never a password or hash.
    void operatorsAndPasswordsLeaveNoSecret() {
        TrailShop s;
        COperatorAddDlg add;
        QVERIFY(add.OnInitDialog());
        add.Form()->nameEdit->setText(u"小王"_s);
        add.Form()->typeCombo->setCurrentIndex(1);
        add.Form()->passwordEdit->setText(u"secret1"_s);
        add.Form()->confirmEdit->setText(u"secret1"_s);
        add.OnOK();
        QVERIFY(add.IsEnded());
        CPasswordDlg change;
        change.m_strID = Db::Value(u"SELECT ID AS v FROM Operator WHERE OptName='小王'"_s);
        QVERIFY(change.OnInitDialog());
        change.Form()->oldEdit->setText(u"secret1"_s);
        change.Form()->newEdit->setText(u"secret2"_s);
        change.Form()->confirmEdit->setText(u"secret2"_s);
        change.OnOK();
        QVERIFY(change.IsEnded());
        const QString hash = Db::Value(u"SELECT OptPwd AS v FROM Operator WHERE OptName='小王'"_s);

        COperatorManageDlg list;
        list.show();
        QVERIFY(list.OnInitDialog());
        CDataList* names = list.Form()->operatorList;
        for (int row = 0; row < names->model()->rowCount(); ++row) {
            if (names->model()->index(row, names->modelColumn()).data().toString() == u"小王"_s)
                names->setCurrentIndex(names->model()->index(row, names->modelColumn()));
        }
        s.boxes.Answer(IDYES);
        list.OnDelete();
        QCOMPARE(Trail(),
                 (QStringList{u"Admin|操作员新增|小王|类型: 操作员"_s, u"Admin|密码修改|小王|密码已修改"_s,
                              u"Admin|操作员删除|小王|用户名: 小王; 类型: 操作员"_s}));
        QVERIFY(!hash.isEmpty());
        const QString all = Trail().join(u'\n');
        for (const QString& secret : {u"secret1"_s, u"secret2"_s, hash})
            QVERIFY(!all.contains(secret));
    }

    void exchangeAndRentalDeletionKeepTheFirstFilm() {
        TrailShop s;
        CExchangeDlg exchange;
        QVERIFY(exchange.OnInitDialog());
        exchange.Form()->oldFilmEdit->setText(u"V1"_s);
        exchange.Form()->newFilmEdit->setText(u"D1"_s);
        exchange.OnOK();
        QVERIFY(exchange.IsEnded());
        QCOMPARE(Trail(), QStringList{u"Admin|更换|V1|旧片: V1; 新片: D1; 客户编号: C1"_s});

        CRecordManageDlg records;
        records.show();
        QVERIFY(records.OnInitDialog());
        records.DataControl()->SetCurrentRow(0);
        s.boxes.Answer(IDYES);
        records.OnDelete();
        QCOMPARE(Db::Count(u"Record"_s), 0);
        QCOMPARE(Trail().at(1),
                 u"Admin|租借记录删除|D1|客户编号: C1; 影片编号: D1; 类型: 月租; 押金: 0.00; 租借日期: "
                 "2026-12-01; 还回日期: ; 操作员: Admin"_s);
    }

    void settingsLeaveTheirChanges() {
        TrailShop s;
        CPriceSettingDlg prices;
        QVERIFY(prices.OnInitDialog());
        prices.Form()->monthVcdEdit->setText(u"35"_s);
        prices.OnOK();
        QVERIFY(prices.IsEnded());
        CReceiptSettingDlg receipts;
        QVERIFY(receipts.OnInitDialog());
        receipts.m_shopName->setText(u"好运'影碟"_s);
        receipts.OnOK();
        QVERIFY(receipts.IsEnded());
        QCOMPARE(Trail(),
                 (QStringList{u"Admin|价格设置||月租VCD 30.00→35.00"_s,
                              u"Admin|小票设置||店名:  → 好运'影碟; 打印小票:  → 0; 打印到:  → printer"_s}));
    }

    // The change and its row are one transaction: either failing leaves neither.
    void aFailedWriteLeavesNoRow() {
        TrailShop s;
        QVERIFY(Db::FailOn("UPDATE", "Film", "film locked"));
        QVERIFY(!EditFilm(FilmKey(u"D1"_s), [](Ui::CFilmEditDlg& f) { f.filmNameEdit->setText(u"新名"_s); }));
        QCOMPARE(Trail(), QStringList());
        QVERIFY(Db::FailOn("INSERT", "AuditTrail", "trail locked"));
        QVERIFY(!EditFilm(QString(), [](Ui::CFilmEditDlg& f) {
            f.filmIdEdit->setText(u"F9"_s);
            f.filmNameEdit->setText(u"新片"_s);
        }));
        QCOMPARE(Db::Count(u"Film WHERE FilmID='F9'"_s), 0);
        QCOMPARE(Trail(), QStringList());
    }

    // A quote and twenty bytes of Chinese come back from the trail as the film stores them.
    void hostileValuesAppearAsStored() {
        TrailShop s;
        const QString title = u"一二三四五六七八九十"_s; // 20 GBK bytes
        const QString remark = u"it's '); DROP TABLE Film; -- 100% _x_"_s;
        QVERIFY(EditFilm(FilmKey(u"D1"_s), [&](Ui::CFilmEditDlg& f) {
            f.filmIdEdit->setText(u"O'1"_s);
            f.filmNameEdit->setText(title);
            f.remarkEdit->setPlainText(remark);
        }));
        const QString stored =
            Db::Value(u"SELECT FilmID||'|'||FilmName||'|'||Remark AS v FROM Film WHERE FilmID='O''1'"_s);
        QCOMPARE(stored, u"O'1|"_s + title + u'|' + remark);
        QCOMPARE(Trail(), QStringList{u"Admin|影片修改|O'1|编号: D1 → O'1; 片名: 无间道 → "_s + title +
                                      u"; 备注:  → "_s + remark});
    }

    // The viewer: administrators only, newest first, a code's whole story.
    void viewerShowsACodesStoryNewestFirst() {
        TrailShop s;
        QVERIFY(
            EditFilm(FilmKey(u"D1"_s), [](Ui::CFilmEditDlg& f) { f.playactorEdit->setText(u"梁朝伟"_s); }));
        QVERIFY(
            EditFilm(FilmKey(u"V1"_s), [](Ui::CFilmEditDlg& f) { f.playactorEdit->setText(u"甄子丹"_s); }));
        QVERIFY(
            EditFilm(FilmKey(u"D1"_s), [](Ui::CFilmEditDlg& f) { f.remarkEdit->setPlainText(u"新盒"_s); }));
        CAuditDlg dlg;
        dlg.show();
        QVERIFY(dlg.OnInitDialog());
        QVERIFY(dlg.minimumSizeHint().width() <= 1024);
        const auto shown = [&dlg](int column) {
            QStringList texts;
            for (int row = 0; row < dlg.DataControl()->rowCount(); ++row)
                texts << dlg.DataControl()->Text(row, column);
            return texts;
        };
        QCOMPARE(shown(4), (QStringList{u"D1"_s, u"V1"_s, u"D1"_s}));
        dlg.m_key->setText(u"d1"_s); // codes match without letter case, as everywhere in the shop
        dlg.OnSearch();
        QCOMPARE(shown(5), (QStringList{u"备注:  → 新盒"_s, u"主演: 刘德华 → 梁朝伟"_s}));
        dlg.m_from->setDate(QDate(2026, 12, 8));
        dlg.OnSearch();
        QCOMPARE(dlg.DataControl()->rowCount(), 0);

        s.boxes.Clear();
        const SignedIn clerk(u"小王"_s, u"普通用户"_s);
        CAuditDlg refused;
        QVERIFY(!refused.OnInitDialog());
        QCOMPARE(s.boxes.Texts(), QStringList{u"只有管理员可以查看操作日志。"_s});
    }
};
VORIX_TEST(AuditTrailTest)

#include "tst_AuditTrail.moc"
