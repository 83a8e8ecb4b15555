#include "app/CDonePane.h"

#include <QResizeEvent>
#include <QStatusBar>

CDonePane::CDonePane(QLabel* idle, QWidget* parent) : QLabel(parent), m_idle(idle) {
    setObjectName(QStringLiteral("donePane"));
    // The bar gives it the idle text's room; it never asks for more and elides what does not fit.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
    hide();
    m_shown.setSingleShot(true);
    connect(&m_shown, &QTimer::timeout, this, &CDonePane::Done);
}

void CDonePane::Show(const QString& text, int ms) {
    m_whole = text;
    setToolTip(text);
    setAccessibleName(text);
    m_idle->hide();
    show();
    Fit();
    m_shown.start(ms);
}

void CDonePane::Done() {
    hide();
    m_whole.clear();
    setToolTip(QString());
    setAccessibleName(QString());
    clear();
    m_idle->show();
    // A prompt shown meanwhile keeps the bar: shown again, it hides the idle text until it goes.
    auto* bar = qobject_cast<QStatusBar*>(parentWidget());
    if (bar && !bar->currentMessage().isEmpty())
        bar->showMessage(bar->currentMessage());
}

void CDonePane::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void CDonePane::Fit() {
    // Qt elides by whole characters: a surrogate pair is never cut.
    setText(fontMetrics().elidedText(m_whole, Qt::ElideMiddle, contentsRect().width()));
}
