#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "manage/COutListDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace {
// A per-day lending with the contact typed (Chinese as a clerk types it).
void LendWithContact(CLendDlg& lend, const QString& film, const QString& name, const QString& phone) {
    lend.OnInitDialog();
    Pick(lend.Form()->typeCombo, u"零租"_s);
    lend.Form()->filmEdit->setText(film);
    lend.Form()->depositEdit->setText(u"50"_s);
    TypeText(lend.findChild<QLineEdit*>(u"contactNameEdit"_s), name);
    lend.findChild<QLineEdit*>(u"contactPhoneEdit"_s)->setText(phone);
    lend.OnOK();
}

void Return(const QString& film) {
    CReturnDlg back;
    back.OnInitDialog();
    back.Form()->filmEdit->setText(film);
    back.OnOK();
    QVERIFY(back.IsEnded());
}
} // namespace

// A per-day customer may leave a name and a phone number: kept beside the rental (never as a
// client), shown in 未还影片, on the return's line and on both slips.
class RentContactTest : public QObject {
    Q_OBJECT
private slots:
    void theContactGoesWithTheRental() {
        DeskShop desk;
        CLendDlg lend;
        LendWithContact(lend, u"D1"_s, u"王先生"_s, u"13900002222"_s);
        QVERIFY(lend.IsEnded());
        QCOMPARE(Db::Row(u"SELECT ClientID, Type FROM Record"_s), u" 零租"_s);
        QCOMPARE(
            Db::Row(u"SELECT r.FilmID, k.Name, k.Phone FROM RentContact k, Record r WHERE r.ID = k.RentID"_s),
            u"D1 王先生 13900002222"_s);
        QCOMPARE(lend.m_slip.client, u"零租 联系人 王先生 电话 13900002222"_s);

        COutListDlg list;
        list.OnInitDialog();
        CAdodc* rows = list.DataControl();
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->data(rows->index(0, 2)).toString(), u"13900002222"_s);
        QCOMPARE(rows->data(rows->index(0, rows->columnCount() - 1)).toString(), u"王先生"_s);

        CReturnDlg back;
        back.OnInitDialog();
        back.Form()->filmEdit->setText(u"D1"_s);
        auto* line = back.findChild<QLabel*>(u"filmInfo"_s);
        QTRY_VERIFY(line->text().contains(u"联系人 王先生 电话 13900002222"_s));
        back.OnOK();
        QVERIFY(back.IsEnded());
        QCOMPARE(back.m_slip.client, u"零租 联系人 王先生 电话 13900002222"_s);
    }

    void theFieldsAreForThePerDayPlanAndOptional() {
        DeskShop desk;
        CLendDlg monthly;
        monthly.OnInitDialog();
        auto* name = monthly.findChild<QLineEdit*>(u"contactNameEdit"_s);
        QVERIFY(!name->isEnabled());
        Pick(monthly.Form()->typeCombo, u"零租"_s);
        QVERIFY(name->isEnabled());
        Pick(monthly.Form()->typeCombo, u"月租"_s);
        LendAsClerk(monthly, u"C1"_s, u"V1"_s);
        CLendDlg anonymous;
        LendAsClerk(anonymous, QString(), u"D1"_s, u"50"_s);
        QCOMPARE(anonymous.m_slip.client, u"零租"_s);
        QCOMPARE(Db::Count(u"RentContact"_s), 0);
        // The name takes 20 bytes as GBK counts them: ten Chinese characters.
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        CLendDlg longest;
        LendWithContact(longest, u"D2"_s, u"欧阳"_s.repeated(5), u"1"_s);
        QVERIFY(longest.IsEnded());
        QCOMPARE(Db::Value(u"SELECT Name AS v FROM RentContact"_s), u"欧阳"_s.repeated(5));
        Return(u"D2"_s);
        // A quote is kept as typed.
        desk.boxes.Clear();
        CLendDlg quoted;
        LendWithContact(quoted, u"D2"_s, u"O'Neil"_s, u"'; DROP TABLE R--"_s);
        QVERIFY(quoted.IsEnded());
        QCOMPARE(Db::Value(u"SELECT Name||'|'||Phone AS v FROM RentContact WHERE Name<>'%1'"_s.arg(
                     u"欧阳"_s.repeated(5))),
                 u"O'Neil|'; DROP TABLE R--"_s);
    }
};
VORIX_TEST(RentContactTest)
#include "tst_RentContact.moc"
