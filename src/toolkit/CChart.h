#pragma once
// The chart above a report's grid: one bar per row (up from zero, down for a loss), an optional
// line over them, a value axis with its labels (money in yuan, or counts) and a label under each
// bar. It is drawn by one function on any painter, so the window and the printed page show the same
// chart; its data come from the rows of the grid below it, so the chart is what is exported.
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAbstractItemModel;
class QPainter;

namespace Chart {
struct Data {
    QString title;
    QStringList labels;
    QList<qint64> bars; // fen when money, else whole counts
    QList<qint64> line; // empty, or one value per bar
    QString lineName;   // what the line shows, in the legend
    bool money = true;  // the values are fen, shown as yuan
    bool IsEmpty() const { return bars.isEmpty(); }
};

// Where the parts of a chart fall in an area.
struct Geometry {
    QRect plot;     // inside the axes
    int zeroY = 0;  // the value 0 on the axis
    qint64 top = 0; // the axis's highest and lowest values (fen or counts)
    qint64 bottom = 0;
    QList<QRect> bars; // one per value, in the plot
    QList<qint64> ticks;
};
Geometry Lay(const Data& data, const QRect& area, const QFont& font, QPaintDevice* device);

// Paints the chart into area (the title at its top); "没有数据" when it has no bars.
void Paint(QPainter& painter, const QRect& area, const Data& data, const QFont& font);

// The value of a tick or a bar as the axis writes it: "1,250" yuan or a count.
QString AxisText(qint64 value, bool money);

// Reads up to most rows of a model: the labels from one column, the bars (and the line, unless its
// column is -1) from others, as their texts are shown (amounts in yuan, read to the fen, when money);
// rows whose label is one of skip (a total) are left out.
Data FromModel(QAbstractItemModel& model, int labelColumn, int barColumn, int lineColumn, int most,
               bool money, const QStringList& skip = {});

// The bar colour, for whoever looks at a chart's pixels.
QColor BarColour();
QColor LossColour();
QColor LineColour();
} // namespace Chart

class CChart : public QWidget {
    Q_OBJECT
public:
    explicit CChart(QWidget* parent = nullptr);
    void SetData(const Chart::Data& data);
    const Chart::Data& Data() const { return m_data; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Chart::Data m_data;
};
