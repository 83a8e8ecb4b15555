#include "desk/CReturnDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CFilmInfo.h"
#include "data/CLedgerInfo.h"
#include "data/CRentInfo.h"
#include "desk/DeskLines.h"
#include "desk/DeskReserve.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "toolkit/Prompts.h"
#include "ui_CReturnDlg.h"

CReturnDlg::CReturnDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CReturnDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    // Under the form, the film and its rental.
    m_filmInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 1, QStringLiteral("filmInfo"));
    new CodeInfoLine(m_ui->filmEdit, m_filmInfo, &DeskLines::Rental);
    new CodePicker(m_ui->filmEdit, m_ui->formLayout, CodePicker::Kind::Film);
    new EnterMoves(this, {m_ui->filmEdit}, {{m_ui->filmEdit, EnterMoves::Empty(m_ui->filmEdit)}});
}

CReturnDlg::~CReturnDlg() = default;

void CReturnDlg::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_ui->filmEdit, m_strFilmID, CFilmInfo::kTextBytes);
    dx.Text(m_ui->operatorName, m_strOptName);
    dx.Date(m_ui->dateEdit, m_tmReturnDate);
}

bool CReturnDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_tmReturnDate = Clock::Now();
    m_strOptName = Session::Current().UserName();
    UpdateData(false);
    return true;
}

void CReturnDlg::OnOK() {
    if (!UpdateData(true))
        return;
    QString refusal;
    CRentInfo rent;
    CFilmInfo film;
    // Every refusal of the return is about its one code: the clerk types it again.
    const auto refuse = [&] {
        Prompts::Refuse(refusal);
        if (!refusal.isEmpty())
            DeskLines::Reselect(m_ui->filmEdit);
    };
    if (!Find(rent, film, &refusal))
        return refuse();

    QString text = QStringLiteral("租借类型:  ") + rent.Type;
    if (rent.Type == Desk::kMonthly) {
        text += QStringLiteral("\n客户编号:  ") + rent.ClientID + QStringLiteral("\n影片编号:  ") +
                rent.FilmID + QStringLiteral("\n影片名字:  ") + film.FilmName;
    } else {
        text += QStringLiteral("\n影片编号:  ") + rent.FilmID + QStringLiteral("\n影片名字:  ") +
                film.FilmName + QStringLiteral("\n押金找回:  ") +
                QString::asprintf("%.2f", double(rent.Foregift)) + QStringLiteral(" 元");
    }
    text += QStringLiteral("\n\n以上信息是否正确,请确认?");
    if (!Prompts::Ask(text, QStringLiteral("请确定"), IDYES))
        return;
    // A rejected update leaves the film out: the form stays open after the engine's message.
    if (!Return(rent.ID, &refusal))
        return refuse();
    const QString name = DeskLines::FilmName(rent.FilmID, film.FilmName);
    m_strDone = rent.Type == Desk::kMonthly
                    ? QStringLiteral("已还回 %1(%2 %3)").arg(name, rent.ClientID, rent.Type)
                    : QStringLiteral("已还回 %1,退押金 %2").arg(name, Money::Text(rent.Foregift));
    m_slip = {QStringLiteral("还回"),
              m_strOptName,
              rent.Type == Desk::kMonthly ? rent.ClientID : Desk::kDaily,
              name,
              {}};
    if (rent.Type != Desk::kMonthly)
        m_slip.amounts = {{QStringLiteral("退押金"), Money::Text(rent.Foregift)}};
    Receipt::After(m_slip);
    DeskReserve::CallOut(m_strHeld);
    EndDialog(IDOK);
}

bool CReturnDlg::Find(CRentInfo& rent, CFilmInfo& film, QString* refusal) {
    if (m_strFilmID.isEmpty())
        return Desk::Hold(QStringLiteral("未填写影片编号!"), refusal);
    const QString notInStock = QStringLiteral("影片编号错误,影片库中未包含此编号!");
    return Desk::Check(CFilmInfo().ExistsByFilmId(m_strFilmID), Lookup::Found, notInStock, refusal) &&
           Desk::Check(CRentInfo().ExistsOpenByFilmId(m_strFilmID), Lookup::Found, NotOut(), refusal) &&
           Desk::Check(rent.LoadOpenByFilmId(m_strFilmID), Lookup::Found, NotOut(), refusal) &&
           Desk::Check(film.LoadByFilmId(m_strFilmID), Lookup::Found, notInStock, refusal);
}

// The rental is read again under the write lock and written back as it is now: the confirmation
// may have waited while another desk changed it.
bool CReturnDlg::Return(int confirmedId, QString* refusal) {
    CTransaction returning;
    CRentInfo rent;
    if (!Desk::Check(rent.LoadOpenByFilmId(m_strFilmID), Lookup::Found, NotOut(), refusal))
        return false;
    if (rent.ID != confirmedId)
        return Desk::Hold(Desk::ChangedMeanwhile(), refusal);
    rent.ReturnDate = Desk::DateText(m_tmReturnDate);
    rent.OptUser = m_strOptName;
    if (!rent.Update(rent.ID))
        return false;
    // A per-day rental hands its deposit back, in the return's transaction.
    if (rent.Type != Desk::kMonthly) {
        CLedgerInfo money;
        money.Day = rent.ReturnDate;
        money.OptUser = m_strOptName;
        money.Kind = CLedgerInfo::kDepositOut;
        money.Amount = CLedgerInfo::Fen(rent.Foregift);
        money.ClientID = rent.ClientID;
        money.FilmID = rent.FilmID;
        money.RentID = rent.ID;
        if (!money.Insert())
            return false;
    }
    if (!DeskReserve::AtReturn(rent.FilmID, &m_strHeld))
        return false;
    return returning.Commit();
}

QString CReturnDlg::NotOut() {
    return QStringLiteral("影片编号错误,此影片未借出!");
}
