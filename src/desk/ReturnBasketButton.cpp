#include "desk/ReturnBasketButton.h"

#include "desk/CReturnBasketDlg.h"
#include "desk/CReturnDlg.h"
#include "ui_CReturnDlg.h"

#include <QPushButton>

QPushButton* ReturnBasketButton::Add(CReturnDlg* single) {
    Ui::CReturnDlg* form = single->Form();
    auto* button = new QPushButton(QStringLiteral("多片还回(&H)..."), single);
    button->setObjectName(QStringLiteral("basketButton"));
    button->setToolTip(QStringLiteral("一次还回几部影片 (Ctrl+Shift+R)"));
    form->buttonLayout->insertWidget(0, button);
    // Left of 还回 in the row, and so before it in the tab order.
    QWidget::setTabOrder(form->okButton->previousInFocusChain(), button);
    QWidget::setTabOrder(button, form->okButton);
    QObject::connect(button, &QPushButton::clicked, single, [single, form] {
        CReturnBasketDlg basket(single);
        if (!form->filmEdit->text().isEmpty())
            basket.m_firstCodes << form->filmEdit->text();
        if (basket.DoModal() != IDOK)
            return;
        single->m_strDone = basket.m_strDone;
        single->m_slip = basket.m_slip;
        single->EndDialog(IDOK);
    });
    return button;
}
