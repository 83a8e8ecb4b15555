#pragma once
#include "manage/ReportPages.h"
#include "toolkit/CBrowseDlg.h"

class CChart;
class CDataGrid;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabBar;
class QTimer;

// "营业报表": one period (from – to, or a quick pick) for every report, and the report picked in
// the tabs: a chart of its rows above the grid of them, 导出 and 打印 (chart and rows) as every
// list. An administrator sees everyone's figures or one operator's; an operator his own only, and
// not the shop's shelf and customer lists. The window comes back with its place, its report and
// its period (a quick pick is picked again from today).
class CReportsDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CReportsDlg(QWidget* parent = nullptr);
    ~CReportsDlg() override;

    bool OnInitDialog() override;
    // Shows the report of the tab picked for the period and choices on screen.
    void OnRefresh();
    void OnPick(ReportPages::Pick pick);
    void OnExport();
    void OnPrint();

    ReportPages::Page Page() const;
    ReportPages::Choice Choice() const;
    // The report's name, its period and whose figures: the printout's title and the file's name.
    QString ReportTitle() const;

    QDateEdit* FromEdit() const { return m_from; }
    QDateEdit* ToEdit() const { return m_to; }
    QTabBar* Tabs() const { return m_tabs; }
    QComboBox* StepCombo() const { return m_step; }
    QSpinBox* DaysSpin() const { return m_days; }
    QComboBox* OperatorCombo() const { return m_operator; }
    CChart* ChartView() const { return m_chart; }
    CDataGrid* Grid() const { return m_grid; }
    QLabel* Status() const { return m_status; }
    QPushButton* PickButton(ReportPages::Pick pick) const { return m_picks[pick]; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* BuildFilters();
    void Remember() const;
    void Recall();
    void ShowChoices();

    QDateEdit* m_from;
    QDateEdit* m_to;
    QPushButton* m_picks[ReportPages::kPicks];
    QComboBox* m_operator;
    QTabBar* m_tabs;
    QLabel* m_stepLabel;
    QComboBox* m_step;
    QLabel* m_daysLabel;
    QSpinBox* m_days;
    CChart* m_chart;
    CDataGrid* m_grid;
    QLabel* m_status;
    QTimer* m_settle; // a date typed digit by digit is read once it rests
    int m_pick = -1;  // the quick pick the period came from, -1 for dates typed
    bool m_quiet = false;
};
