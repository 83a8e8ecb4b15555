#include "desk/CLateChargeDlg.h"

#include "access/Session.h"
#include "data/CLedgerInfo.h"
#include "data/ReturnCharge.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CLateChargeDlg::CLateChargeDlg(QWidget* parent)
    : CDialog(parent), m_on(new QCheckBox(QStringLiteral("启用超期收费(&E)"), this)),
      m_cap(new QLineEdit(this)), m_plan(new QLineEdit(this)),
      m_okButton(new QPushButton(QStringLiteral("确定"), this)) {
    setWindowTitle(QStringLiteral("超期收费"));
    auto* rules = new QLabel(QStringLiteral("零租：借出当天已收一天租金；此后每多借一天，还回时按当时的零租价"
                                            "从押金中再收一天，押金不足的部分收现金。\n"
                                            "月租：每期天数用完后，每开始新的一期，还回时从客户余额再扣一个"
                                            "月租价，余额可以扣到零或以下。"),
                             this);
    rules->setWordWrap(true);
    m_cap->setPlaceholderText(QStringLiteral("不限"));
    m_cap->setObjectName(QStringLiteral("capEdit"));
    m_plan->setObjectName(QStringLiteral("planEdit"));
    auto* form = new QFormLayout;
    form->addRow(m_on);
    form->addRow(rules);
    form->addRow(QStringLiteral("零租每次最多收(元)(&C)："), m_cap);
    form->addRow(QStringLiteral("月租每期天数(&D)："), m_plan);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_okButton);
    buttons->addStretch();
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);
    m_okButton->setDefault(true);
    ConnectButtons(m_okButton, cancel);
    resize(460, sizeHint().height());
}

void CLateChargeDlg::DoDataExchange(CDataExchange& dx) {
    // An empty cap is none; anything typed must be an amount.
    if (dx.m_bSaveAndValidate ? !m_cap->text().trimmed().isEmpty() : m_fCap >= 0)
        dx.Real(m_cap, m_fCap, 0, Desk::kMaxMoney, 2);
    dx.Int(m_plan, m_nPlanDays, 1, ReturnCharge::Rule::kMostPlanDays);
}

bool CLateChargeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    Lookup found = Lookup::Found;
    const ReturnCharge::Rule rule = ReturnCharge::Load(&found);
    if (found == Lookup::Failed)
        return false; // its message is shown; nothing would be saved over the settings
    m_on->setChecked(rule.on);
    m_fCap = rule.capFen < 0 ? -1 : rule.capFen / 100.0;
    m_nPlanDays = rule.planDays;
    UpdateData(false);
    if (rule.capFen < 0)
        m_cap->clear();
    m_okButton->setEnabled(Session::Current().IsAdministrator());
    m_on->setFocus();
    return true;
}

void CLateChargeDlg::OnOK() {
    if (!m_okButton->isEnabled())
        return; // Enter on a disabled "确定" saves nothing
    m_fCap = -1;
    if (!UpdateData(true))
        return;
    ReturnCharge::Rule rule;
    rule.on = m_on->isChecked();
    rule.capFen = m_fCap < 0 ? -1 : CLedgerInfo::Fen(m_fCap);
    rule.planDays = m_nPlanDays;
    CTransaction saving;
    if (!ReturnCharge::Save(rule) || !saving.Commit())
        return;
    EndDialog(IDOK);
}
