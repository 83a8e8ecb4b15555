#include "manage/ReportPages.h"

#include "data/CAdodc.h"

QString ReportPages::Name(Page page) {
    switch (page) {
    case Takings:
        return QStringLiteral("收入");
    case Titles:
        return QStringLiteral("影片收益");
    case Idle:
        return QStringLiteral("闲置影片");
    case Customers:
        return QStringLiteral("客户排行");
    case Dormant:
        return QStringLiteral("久未光顾");
    case Staff:
        return QStringLiteral("柜台人员");
    case kPages:
        break;
    }
    return QString();
}

QString ReportPages::Statement(Page page, const Choice& choice) {
    switch (page) {
    case Takings:
        return Reports::Takings(choice.from, choice.to, choice.step, choice.optUser);
    case Titles:
        return Reports::Titles(choice.from, choice.to, choice.optUser);
    case Idle:
        return Reports::IdleStock(choice.to, choice.days);
    case Customers:
        return Reports::TopCustomers(choice.from, choice.to, choice.optUser);
    case Dormant:
        return Reports::DormantCustomers(choice.to, choice.days);
    case Staff:
        return Reports::Staff(choice.from, choice.to, choice.optUser);
    case kPages:
        break;
    }
    return QString();
}

bool ReportPages::ForAdministrators(Page page) {
    return page == Idle || page == Dormant;
}

bool ReportPages::UsesDays(Page page) {
    return page == Idle || page == Dormant;
}

ReportPages::ChartColumns ReportPages::Chart(Page page, int columnCount) {
    switch (page) {
    case Takings:
        // Columns: the period, the kinds, cash in, cash out, net, the order.
        return {QStringLiteral("净现金(元)"),
                0,
                columnCount - 2,
                columnCount - 4,
                QStringLiteral("现金收入"),
                5000,
                true};
    case Titles:
        return {QStringLiteral("收入最多的十部影片(元)"), 0, 2, -1, QString(), 10, true};
    case Idle:
        return {QStringLiteral("闲置最久的十张(天)"), 1, 5, -1, QString(), 10, false};
    case Customers:
        return {QStringLiteral("消费最多的十位客户(元)"), 0, 3, -1, QString(), 10, true};
    case Dormant:
        return {QStringLiteral("最久未来的十位客户(天)"), 0, 5, -1, QString(), 10, false};
    case Staff:
        return {QStringLiteral("各人净现金(元)"), 0, 6, -1, QString(), 50, true};
    case kPages:
        break;
    }
    return {};
}

QList<int> ReportPages::Hidden(Page page, const CAdodc& rows) {
    const int columns = rows.columnCount();
    if (page != Takings || columns < 5)
        return {};
    QList<int> hidden;
    // Columns: the period, the kinds, cash in, cash out, net, the order.
    for (int column = 1; column < columns - 4; ++column) {
        bool moved = false;
        for (int row = 0; row < rows.rowCount() && !moved; ++row)
            moved = rows.Text(row, column).toDouble() != 0;
        if (!moved)
            hidden << column;
    }
    return hidden << columns - 1;
}

QString ReportPages::PickName(Pick pick) {
    static const char* const kNames[] = {"今天", "本周", "本月", "上月", "今年"};
    return pick >= 0 && pick < kPicks ? QString::fromUtf8(kNames[pick]) : QString();
}

void ReportPages::PickPeriod(Pick pick, const QDate& today, QDate* from, QDate* to) {
    const QDate month(today.year(), today.month(), 1);
    switch (pick) {
    case Today:
    case kPicks:
        *from = *to = today;
        return;
    case ThisWeek:
        *from = today.addDays(1 - today.dayOfWeek());
        *to = from->addDays(6);
        return;
    case ThisMonth:
        *from = month;
        *to = month.addMonths(1).addDays(-1);
        return;
    case LastMonth:
        *from = month.addMonths(-1);
        *to = month.addDays(-1);
        return;
    case ThisYear:
        *from = QDate(today.year(), 1, 1);
        *to = QDate(today.year(), 12, 31);
        return;
    }
}

QString ReportPages::DayText(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}
