// 多片借出 offered from the lending form.
#include "desk/CLendBasketDlg.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Runs its action when the widget it watches is enabled or disabled.
class WhenEnabledChanges : public QObject {
public:
    WhenEnabledChanges(QObject* parent, std::function<void()> action)
        : QObject(parent), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            m_action();
        return false;
    }

private:
    std::function<void()> m_action;
};
} // namespace

void CLendBasketDlg::OfferAt(CDialog* lend, QBoxLayout* buttons, QLineEdit* client, QLineEdit* film,
                             QString* done) {
    auto* button = new QPushButton(QStringLiteral("多片借出(&M)..."), lend);
    button->setObjectName(QStringLiteral("basketButton"));
    button->setToolTip(QStringLiteral("给这位客户一次借出多部影片 (Ctrl+Shift+B)"));
    buttons->insertWidget(0, button);
    const auto known = [button, client] {
        button->setEnabled(client->isEnabled() && !client->text().isEmpty());
    };
    known();
    QObject::connect(client, &QLineEdit::textChanged, button, known);
    client->installEventFilter(new WhenEnabledChanges(button, known));
    QObject::connect(button, &QPushButton::clicked, lend, [lend, client, film, done] {
        CLendBasketDlg basket(lend);
        basket.m_strClientID = client->text();
        if (!film->text().isEmpty())
            basket.m_films << film->text();
        if (basket.DoModal() != IDOK)
            return;
        *done = basket.m_strDone;
        lend->EndDialog(IDOK);
    });
}
