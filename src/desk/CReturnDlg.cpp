#include "desk/CReturnDlg.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/RentContact.h"
#include "desk/DeskLines.h"
#include "desk/DeskReserve.h"
#include "desk/DeskRules.h"
#include "desk/LendContact.h"
#include "desk/ReturnBasketButton.h"
#include "desk/ReturnBill.h"
#include "desk/ReturnExtras.h"
#include "desk/ReturnSteps.h"
#include "toolkit/DataExchange.h"
#include "toolkit/Money.h"
#include "toolkit/Prompts.h"
#include "ui_CReturnDlg.h"

#include <QRadioButton>

CReturnDlg::CReturnDlg(QWidget* parent) : CDialog(parent), m_ui(std::make_unique<Ui::CReturnDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
    // Under the form, the film and its rental.
    m_filmInfo = DeskLines::AddInfoLine(m_ui->outerLayout, 1, QStringLiteral("filmInfo"));
    // Under the line, what the clerk settles when the shop charges the days out; hidden otherwise.
    m_extras = new ReturnExtras(this);
    m_extras->hide();
    m_ui->outerLayout->insertWidget(2, m_extras);
    setTabOrder(m_ui->dateEdit, m_extras->waiver);
    setTabOrder(m_extras->inCash, m_ui->okButton);
    m_infoLine = new CodeInfoLine(m_ui->filmEdit, m_filmInfo, [this](const QString& code) {
        return m_rule.on ? ReturnBill::Line(m_rule, code, m_ui->dateEdit->date(), m_extras->Peek())
                         : DeskLines::Rental(code);
    });
    // The charge depends on the return date and what is settled: the line follows them.
    for (QLineEdit* edit : {m_extras->waiver, m_extras->damage})
        m_infoLine->DependsOn(edit);
    connect(m_extras->fromDeposit, &QRadioButton::toggled, m_infoLine, &CodeInfoLine::Refresh);
    connect(m_ui->dateEdit, &QDateEdit::dateChanged, m_infoLine, [this] {
        if (m_rule.on)
            m_infoLine->Refresh();
    });
    new CodePicker(m_ui->filmEdit, m_ui->formLayout, CodePicker::Kind::Film);
    new EnterMoves(this, {m_ui->filmEdit}, {{m_ui->filmEdit, EnterMoves::Empty(m_ui->filmEdit)}});
    ReturnBasketButton::Add(this, m_ui->buttonLayout, m_ui->filmEdit, m_ui->okButton,
                            [this](const QString& done, const Receipt::Slip& slip) {
                                m_strDone = done;
                                m_slip = slip;
                                EndDialog(IDOK);
                            });
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
    Lookup found = Lookup::Found;
    m_rule = ReturnCharge::Load(&found);
    if (found == Lookup::Failed)
        m_rule = {}; // its message is shown; the return's own rules still hold
    if (m_rule.on) {
        m_extras->AllowWaiver(Session::Current().IsAdministrator());
        m_extras->show();
        // Room for the charge's line as well: the form keeps its size while the clerk types.
        m_filmInfo->setMinimumHeight(4 * m_filmInfo->fontMetrics().lineSpacing() + 6);
    }
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
    ReturnBill bill;
    if (m_rule.on && !Bill(rent, film, &bill))
        return;
    const bool charged = m_rule.on && bill.money.Any();

    QString text = QStringLiteral("租借类型:  ") + rent.Type;
    if (rent.Type == Desk::kMonthly) {
        text += QStringLiteral("\n客户编号:  ") + rent.ClientID + QStringLiteral("\n影片编号:  ") +
                rent.FilmID + QStringLiteral("\n影片名字:  ") + film.FilmName;
    } else {
        text += QStringLiteral("\n影片编号:  ") + rent.FilmID + QStringLiteral("\n影片名字:  ") +
                film.FilmName + QStringLiteral("\n押金找回:  ") +
                (charged ? bill.BackText() : QString::asprintf("%.2f", double(rent.Foregift))) +
                QStringLiteral(" 元");
    }
    if (charged)
        text += bill.ConfirmLines();
    text += QStringLiteral("\n\n以上信息是否正确,请确认?");
    if (!Prompts::Ask(text, QStringLiteral("请确定"), IDYES))
        return;
    // A rejected update leaves the film out: the form stays open after the engine's message.
    if (!Return(rent.ID, &refusal, m_rule.on ? &bill : nullptr))
        return refuse();
    const QString name = DeskLines::FilmName(rent.FilmID, film.FilmName);
    m_strDone = rent.Type == Desk::kMonthly
                    ? QStringLiteral("已还回 %1(%2 %3)").arg(name, rent.ClientID, rent.Type)
                    : QStringLiteral("已还回 %1,退押金 %2").arg(name, Money::Text(rent.Foregift));
    RentContact::Contact contact;
    if (rent.Type != Desk::kMonthly)
        RentContact::Load(rent.ID, &contact); // the slip names the customer if it can, no more
    m_slip = {QStringLiteral("还回"),
              m_strOptName,
              rent.Type == Desk::kMonthly ? rent.ClientID : LendContact::SlipClient(contact),
              name,
              {}};
    if (rent.Type != Desk::kMonthly)
        m_slip.amounts = {{QStringLiteral("退押金"), Money::Text(rent.Foregift)}};
    if (charged) {
        m_strDone = bill.Done(name, rent.ClientID);
        m_slip.amounts = bill.SlipAmounts();
    }
    Receipt::After(m_slip);
    DeskReserve::CallOut(m_strHeld);
    EndDialog(IDOK);
}

bool CReturnDlg::Find(CRentInfo& rent, CFilmInfo& film, QString* refusal) {
    return ReturnSteps::Find(m_strFilmID, rent, film, refusal);
}

// The rental is read again under the write lock and written back as it is now: the confirmation
// may have waited while another desk changed it.
bool CReturnDlg::Return(int confirmedId, QString* refusal, ReturnBill* bill) {
    CTransaction returning;
    CRentInfo rent;
    return ReturnSteps::Write({m_strFilmID, confirmedId, m_tmReturnDate, m_strOptName, QString()}, bill,
                              &rent, &m_strHeld, refusal) &&
           returning.Commit();
}

bool CReturnDlg::Bill(const CRentInfo& rent, const CFilmInfo& film, ReturnBill* bill) {
    ReturnExtras::Entered entered;
    if (!m_extras->Read(&entered) || !bill->Make(m_rule, rent, film.Type, m_tmReturnDate.date(), entered))
        return false;
    QWidget* field = nullptr;
    const QString refusal = m_extras->Refusal(entered, bill->figures.chargeFen, bill->monthly,
                                              Session::Current().IsAdministrator(), &field);
    if (refusal.isEmpty())
        return true;
    Prompts::Refuse(refusal);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        DeskLines::Reselect(edit);
    else if (field)
        field->setFocus();
    return false;
}
