#include "toolkit/CQueryBusy.h"

#include "data/CAdodc.h"

#include <QApplication>
#include <QKeyEvent>

CQueryBusy::CQueryBusy(CAdodc* adodc) : QObject(adodc) {
    adodc->SetProgressHandler([this](qint64 elapsedMs) { return Working(elapsedMs); });
    connect(adodc, &CAdodc::workEnded, this, &CQueryBusy::Ended);
}

CQueryBusy::~CQueryBusy() {
    Ended();
}

bool CQueryBusy::Working(qint64 elapsedMs) {
    if (elapsedMs < kBusyAfterMs)
        return false;
    if (!m_busy) {
        m_busy = true;
        m_cancel = false;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        qApp->installEventFilter(this);
        m_sincePaint.invalidate();
    }
    if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= kPaintEveryMs) {
        // Paints and the window system's events; the input among them reaches only eventFilter.
        QCoreApplication::processEvents();
        m_sincePaint.start();
    }
    return m_cancel;
}

void CQueryBusy::Ended() {
    if (!m_busy)
        return;
    m_busy = false;
    m_cancel = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool CQueryBusy::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_cancel = true;
        return true;
    // Everything a user does waits: a click would start work on the busy connection.
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
