#include "toolkit/CChart.h"

#include <QAbstractItemModel>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kTicks = 4; // lines across the plot, about

// A step of 1, 2 or 5 times a power of ten, at least least, that cuts span in about kTicks.
qint64 NiceStep(qint64 span, qint64 least) {
    const double raw = std::max<double>(double(span) / kTicks, double(least));
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw)
            return std::max<qint64>(least, qint64(std::llround(factor * power)));
    }
    return qint64(std::llround(10 * power));
}

qint64 FloorTo(qint64 value, qint64 step) {
    return value >= 0 ? value / step * step : -((-value + step - 1) / step * step);
}

qint64 CeilTo(qint64 value, qint64 step) {
    return -FloorTo(-value, step);
}

// A cell's text read as an amount or a count: "1,250.50", "12.30 元".
qint64 ValueOf(const QString& text, bool money) {
    QString number = text;
    number.remove(QLatin1Char(',')).remove(QStringLiteral("元"));
    const double value = number.trimmed().toDouble();
    return std::llround(money ? value * 100 : value);
}

QFont TitleFont(const QFont& font) {
    QFont title = font;
    title.setBold(true);
    return title;
}
} // namespace

QColor Chart::BarColour() {
    return QColor(0x3a, 0x7b, 0xd5);
}

QColor Chart::LossColour() {
    return QColor(0xd5, 0x4a, 0x3a);
}

QColor Chart::LineColour() {
    return QColor(0xe0, 0x9a, 0x20);
}

QString Chart::AxisText(qint64 value, bool money) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions); // with the thousands' commas
    if (!money)
        return c.toString(value);
    if (value % 100 == 0)
        return c.toString(value / 100);
    return c.toString(double(value) / 100, 'f', 2);
}

Chart::Geometry Chart::Lay(const Data& data, const QRect& area, const QFont& font, QPaintDevice* device) {
    const QFontMetrics metrics(font, device);
    const QFontMetrics title(TitleFont(font), device);
    Geometry geometry;
    qint64 high = 0;
    qint64 low = 0;
    for (const QList<qint64>* values : {&data.bars, &data.line}) {
        for (const qint64 value : *values) {
            high = std::max(high, value);
            low = std::min(low, value);
        }
    }
    const qint64 least = data.money ? 100 : 1;
    const qint64 step = NiceStep(std::max(high - low, least), least);
    geometry.top = std::max(CeilTo(high, step), step);
    geometry.bottom = FloorTo(low, step);
    for (qint64 tick = geometry.bottom; tick <= geometry.top; tick += step)
        geometry.ticks << tick;
    int axisWidth = 0;
    for (const qint64 tick : geometry.ticks)
        axisWidth = std::max(axisWidth, metrics.horizontalAdvance(AxisText(tick, data.money)));
    const int pad = metrics.height() / 3;
    const int top = area.top() + title.lineSpacing() + pad + metrics.height() / 2;
    const int bottom = area.bottom() - metrics.lineSpacing() - pad;
    const int left = area.left() + axisWidth + 2 * pad;
    const int right = area.right() - pad;
    geometry.plot = QRect(QPoint(left, top), QPoint(std::max(left + 1, right), std::max(top + 1, bottom)));
    const double span = double(geometry.top - geometry.bottom);
    const auto yOf = [&](qint64 value) {
        return geometry.plot.bottom() -
               int(std::lround(double(value - geometry.bottom) * geometry.plot.height() / span));
    };
    geometry.zeroY = yOf(0);
    const int count = int(data.bars.size());
    const double slot = count > 0 ? double(geometry.plot.width()) / count : 0;
    for (int i = 0; i < count; ++i) {
        const int width = std::max(1, int(slot * 0.7));
        const int x = geometry.plot.left() + int(i * slot + (slot - width) / 2);
        const int y = yOf(data.bars.at(i));
        // Up from the zero line, or down from under it, as many pixels as the value.
        if (y <= geometry.zeroY)
            geometry.bars << QRect(x, y, width, geometry.zeroY - y);
        else
            geometry.bars << QRect(x, geometry.zeroY + 1, width, y - geometry.zeroY);
    }
    return geometry;
}

void Chart::Paint(QPainter& painter, const QRect& area, const Data& data, const QFont& font) {
    painter.save();
    QPaintDevice* device = painter.device();
    const QFontMetrics metrics(font, device);
    const QFontMetrics title(TitleFont(font), device);
    painter.setFont(TitleFont(font));
    painter.setPen(Qt::black);
    painter.drawText(QRect(area.left(), area.top(), area.width(), title.lineSpacing()),
                     Qt::AlignLeft | Qt::AlignVCenter, data.title);
    painter.setFont(font);
    if (data.IsEmpty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("没有数据"));
        painter.restore();
        return;
    }
    const Geometry geometry = Lay(data, area, font, device);
    const QRect& plot = geometry.plot;
    const double span = double(geometry.top - geometry.bottom);
    const int pad = metrics.height() / 3;
    if (!data.lineName.isEmpty() && !data.line.isEmpty()) {
        // The legend of the line, at the right of the title.
        const int width = metrics.horizontalAdvance(data.lineName);
        const int y = area.top() + title.lineSpacing() / 2;
        painter.drawText(QRect(area.right() - width, area.top(), width, title.lineSpacing()),
                         Qt::AlignRight | Qt::AlignVCenter, data.lineName);
        painter.setPen(QPen(LineColour(), std::max(1, metrics.height() / 8)));
        painter.drawLine(area.right() - width - 4 * pad, y, area.right() - width - pad, y);
    }
    // The value axis: a light line and a label at every tick.
    for (const qint64 tick : geometry.ticks) {
        const int y = plot.bottom() - int(std::lround(double(tick - geometry.bottom) * plot.height() / span));
        painter.setPen(QColor(0xdd, 0xdd, 0xdd));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(Qt::black);
        painter.drawText(
            QRect(area.left(), y - metrics.height() / 2, plot.left() - area.left() - pad, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, AxisText(tick, data.money));
    }
    for (int i = 0; i < geometry.bars.size(); ++i)
        painter.fillRect(geometry.bars.at(i), data.bars.at(i) < 0 ? LossColour() : BarColour());
    painter.setPen(Qt::black);
    painter.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());
    painter.drawLine(plot.left(), geometry.zeroY, plot.right(), geometry.zeroY);
    // A label under every bar that has room, else under every k-th.
    const double slot = double(plot.width()) / std::max<int>(1, int(data.bars.size()));
    int widest = 0;
    for (const QString& label : data.labels)
        widest = std::max(widest, metrics.horizontalAdvance(label));
    widest = std::min(widest, metrics.horizontalAdvance(QStringLiteral("汉")) * 6);
    const int every = std::max(1, int(std::ceil((widest + pad) / std::max(1.0, slot))));
    for (int i = 0; i < data.labels.size() && i < data.bars.size(); i += every) {
        const int width = int(slot * every);
        const int x = plot.left() + int(i * slot + slot / 2) - width / 2;
        painter.drawText(QRect(x, plot.bottom() + pad, width, metrics.lineSpacing()),
                         Qt::AlignHCenter | Qt::AlignTop,
                         metrics.elidedText(data.labels.at(i), Qt::ElideRight, width));
    }
    if (data.line.size() == data.bars.size() && !data.line.isEmpty()) {
        QPainterPath path;
        for (int i = 0; i < data.line.size(); ++i) {
            const QPointF point(plot.left() + i * slot + slot / 2,
                                plot.bottom() -
                                    double(data.line.at(i) - geometry.bottom) * plot.height() / span);
            if (i == 0)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        painter.setPen(QPen(LineColour(), std::max(1, metrics.height() / 8)));
        painter.drawPath(path);
    }
    painter.restore();
}

Chart::Data Chart::FromModel(QAbstractItemModel& model, int labelColumn, int barColumn, int lineColumn,
                             int most, bool money, const QStringList& skip) {
    while (model.rowCount() < most && model.canFetchMore(QModelIndex()))
        model.fetchMore(QModelIndex());
    Data data;
    data.money = money;
    for (int row = 0; row < model.rowCount() && data.bars.size() < most; ++row) {
        const QString label = model.index(row, labelColumn).data().toString();
        if (skip.contains(label))
            continue;
        data.labels << label;
        data.bars << ValueOf(model.index(row, barColumn).data().toString(), data.money);
        if (lineColumn >= 0)
            data.line << ValueOf(model.index(row, lineColumn).data().toString(), data.money);
    }
    return data;
}

CChart::CChart(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("图表"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CChart::SetData(const Chart::Data& data) {
    m_data = data;
    // A screen reader reads the chart as its title and the values of its bars.
    QStringList values;
    for (int i = 0; i < data.bars.size() && i < data.labels.size(); ++i)
        values << data.labels.at(i) + QLatin1Char(' ') + Chart::AxisText(data.bars.at(i), data.money);
    setAccessibleName(data.title);
    setAccessibleDescription(values.isEmpty() ? QStringLiteral("没有数据")
                                              : values.join(QStringLiteral(";")));
    update();
}

QSize CChart::sizeHint() const {
    return QSize(600, fontMetrics().lineSpacing() * 12);
}

void CChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    Chart::Paint(painter, rect().adjusted(4, 2, -4, -2), m_data, font());
}
