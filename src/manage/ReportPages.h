#pragma once
// The reports of 营业报表 and the periods it offers: for each report its name, its statement over
// the period, and which columns of its rows the chart above the grid draws.
#include "data/Reports.h"

#include <QDate>
#include <QList>
#include <QString>

class CAdodc;

namespace ReportPages {
enum Page { Takings, Titles, Idle, Customers, Dormant, Staff, kPages };

// What a page shows for a period and its choices.
struct Choice {
    QDate from;
    QDate to;
    Reports::Step step = Reports::Step::Day;
    int days = 90;   // idle stock and dormant customers: days without a lending
    QString optUser; // empty for everyone
};

QString Name(Page page);
QString Statement(Page page, const Choice& choice);
// Only administrators see the shop's whole shelf and customer list.
bool ForAdministrators(Page page);
// True for the pages that read the number of days, false for those that read the period.
bool UsesDays(Page page);

// The chart of a page, by columns of its rows (columnCount: of the statement's result).
struct ChartColumns {
    QString title;
    int label = 0;
    int bar = 0;
    int line = -1;
    QString lineName;
    int most = 10;
    bool money = true;
};
ChartColumns Chart(Page page, int columnCount);
// The columns the grid hides, of rows read to the end: the takings' order column, and the kinds
// that moved nothing in the period (the page stays narrow enough to print).
QList<int> Hidden(Page page, const CAdodc& rows);

// The quick picks, in their order: 今天, 本周 (from Monday), 本月, 上月, 今年.
enum Pick { Today, ThisWeek, ThisMonth, LastMonth, ThisYear, kPicks };
QString PickName(Pick pick);
// A day as the window writes it in titles and settings: "2026-12-09".
QString DayText(const QDate& day);
// The whole days of a pick, seen from today.
void PickPeriod(Pick pick, const QDate& today, QDate* from, QDate* to);
} // namespace ReportPages
