#include "manage/CReportsDlg.h"

#include "base/Clock.h"
#include "base/UserSettings.h"

#include <QComboBox>
#include <QDateEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>

// What the window remembers of the user's last report, in the user's settings: the quick pick the
// period came from (picked again from today), else the dates typed; the report; its choices.
using namespace ReportPages;

void CReportsDlg::Remember() const {
    const auto settings = UserSettings::Open();
    settings->setValue(QStringLiteral("reports/pick"), m_pick);
    settings->setValue(QStringLiteral("reports/from"), DayText(m_from->date()));
    settings->setValue(QStringLiteral("reports/to"), DayText(m_to->date()));
    settings->setValue(QStringLiteral("reports/page"), int(Page()));
    settings->setValue(QStringLiteral("reports/step"), m_step->currentIndex());
    settings->setValue(QStringLiteral("reports/days"), m_days->value());
}

void CReportsDlg::Recall() {
    const auto settings = UserSettings::Open();
    const int pick = settings->value(QStringLiteral("reports/pick"), int(ThisMonth)).toInt();
    const QDate from =
        QDate::fromString(settings->value(QStringLiteral("reports/from")).toString(), Qt::ISODate);
    const QDate to = QDate::fromString(settings->value(QStringLiteral("reports/to")).toString(), Qt::ISODate);
    m_quiet = true;
    m_step->setCurrentIndex(std::clamp(settings->value(QStringLiteral("reports/step"), 0).toInt(), 0, 2));
    m_days->setValue(settings->value(QStringLiteral("reports/days"), 90).toInt());
    const int page = settings->value(QStringLiteral("reports/page"), 0).toInt();
    {
        const QSignalBlocker quiet(m_tabs);
        if (page >= 0 && page < kPages && m_tabs->isTabEnabled(page))
            m_tabs->setCurrentIndex(page);
    }
    m_quiet = false;
    if (pick >= 0 && pick < kPicks) {
        QDate first;
        QDate last;
        PickPeriod(Pick(pick), Clock::Now().date(), &first, &last);
        m_quiet = true;
        m_from->setDate(first);
        m_to->setDate(last);
        m_quiet = false;
        m_pick = pick;
    } else if (from.isValid() && to.isValid()) {
        m_quiet = true;
        m_from->setDate(from);
        m_to->setDate(to);
        m_quiet = false;
        m_pick = -1;
    }
    m_settle->stop();
}
