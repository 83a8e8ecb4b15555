#include "manage/COutListDlg.h"

#include "base/Clock.h"
#include "data/CRentInfo.h"
#include "data/CSettingInfo.h"
#include "data/ReturnCharge.h"
#include "ui_COutListDlg.h"

#include <algorithm>

namespace {
constexpr int kOutFilmColumn = 4;
} // namespace

COutListDlg::COutListDlg(QWidget* parent) : CBrowseDlg(parent), m_ui(std::make_unique<Ui::COutListDlg>()) {
    m_ui->setupUi(this);
    BindGrid(m_ui->grid, {0, 40, 55, 60, 40, 80, 20, 45, 40, 20, 40});
    OfferExport(m_ui->buttonLayout);
    connect(m_ui->typeCombo, &QComboBox::activated, this, &COutListDlg::OnFilter);
    connect(m_ui->daysSpin, &QSpinBox::valueChanged, this, &COutListDlg::OnFilter);
    connect(m_ui->returnButton, &QPushButton::clicked, this, &COutListDlg::OnReturn);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CDialog::OnCancel);
    connect(m_ui->grid, &QAbstractItemView::doubleClicked, this, &COutListDlg::OnReturn);
}

COutListDlg::~COutListDlg() = default;

bool COutListDlg::OnInitDialog() {
    CBrowseDlg::OnInitDialog();
    OnFilter();
    m_ui->grid->setFocus();
    return true;
}

void COutListDlg::OnFilter() {
    static const QString kTypes[] = {QString(), QStringLiteral("月租"), QStringLiteral("零租")};
    const int type = std::clamp(m_ui->typeCombo->currentIndex(), 0, 2);
    m_strQuery = OutList::Rentals(kTypes[type], m_ui->daysSpin->value(), Clock::Now().date(), ChargeSoFar());
    ShowQuery();
}

QString COutListDlg::ChargeSoFar() const {
    // When the shop charges the days out, what each rental would be charged were it returned today.
    Lookup found = Lookup::Found;
    const ReturnCharge::Rule rule = ReturnCharge::Load(&found);
    CSettingInfo prices;
    if (found == Lookup::Failed || !rule.on || prices.Load() == Lookup::Failed)
        return {};
    return ReturnCharge::SoFarColumn(rule, prices, Clock::Now().date());
}

void COutListDlg::OnReturn() {
    if (!HasCurrentRow(QStringLiteral("请先选择要还回的影片。")))
        return;
    if (m_returnFilm && m_returnFilm(this, CurrentText(kOutFilmColumn)))
        OnFilter();
}
