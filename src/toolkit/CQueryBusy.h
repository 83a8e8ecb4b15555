#pragma once
// A long query of a data control: after a moment the busy cursor shows, the windows keep painting,
// and Escape cancels the query; other input is held back until the engine is done.
#include <QElapsedTimer>
#include <QObject>

class CAdodc;

class CQueryBusy : public QObject {
    Q_OBJECT
public:
    // How long a query runs before it counts as long, and how often the windows are then painted.
    static constexpr qint64 kBusyAfterMs = 150;
    static constexpr qint64 kPaintEveryMs = 40;

    // Watches the data control's work; owned by it.
    explicit CQueryBusy(CAdodc* adodc);
    ~CQueryBusy() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Working(qint64 elapsedMs); // true: cancel
    void Ended();

    bool m_busy = false;
    bool m_cancel = false;
    QElapsedTimer m_sincePaint;
};
