#include "desk/ReturnBasketButton.h"

#include "desk/CReturnBasketDlg.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPushButton>

QPushButton* ReturnBasketButton::Add(CDialog* single, QBoxLayout* buttons, QLineEdit* film, QPushButton* ok,
                                     Done done) {
    auto* button = new QPushButton(QStringLiteral("多片还回(&H)..."), single);
    button->setObjectName(QStringLiteral("basketButton"));
    button->setToolTip(QStringLiteral("一次还回几部影片 (Ctrl+Shift+R)"));
    buttons->insertWidget(0, button);
    // Left of the default button in the row, and so before it in the tab order.
    QWidget::setTabOrder(ok->previousInFocusChain(), button);
    QWidget::setTabOrder(button, ok);
    QObject::connect(button, &QPushButton::clicked, single, [single, film, done = std::move(done)] {
        CReturnBasketDlg basket(single);
        if (!film->text().isEmpty())
            basket.m_firstCodes << film->text();
        if (basket.DoModal() == IDOK)
            done(basket.m_strDone, basket.m_slip);
    });
    return button;
}
