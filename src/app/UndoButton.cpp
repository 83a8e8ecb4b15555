#include "app/UndoButton.h"

#include "app/CDonePane.h"

#include <QEvent>
#include <QStatusBar>
#include <QToolButton>

namespace {
// Shows a widget while another is shown.
class ShownWith : public QObject {
public:
    ShownWith(QWidget* follower, QObject* parent) : QObject(parent), m_follower(follower) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            m_follower->setVisible(event->type() == QEvent::Show);
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_follower;
};

} // namespace

QToolButton* UndoButton::Beside(CDonePane* done, QStatusBar* bar) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QStringLiteral("undoButton"));
    button->setText(QStringLiteral("撤销"));
    button->setToolTip(QStringLiteral("撤销今天的上一笔借出或还回 (Ctrl+Z)"));
    button->setAccessibleName(QStringLiteral("撤销上一笔借出或还回"));
    button->setAutoRaise(true);
    button->hide();
    bar->addWidget(button);
    done->installEventFilter(new ShownWith(button, done));
    return button;
}
