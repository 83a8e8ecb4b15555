#include "TestRegistry.h"

#include "toolkit/CChart.h"

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QRect kArea(0, 0, 800, 400);

// The chart painted on a white image of kArea's size.
QImage Painted(const Chart::Data& data) {
    QImage image(kArea.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    Chart::Paint(painter, kArea, data, QFont());
    return image;
}

// Pixels of this colour down one column of the image.
int Run(const QImage& image, int x, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

// Pixels darker than the light grid lines within a rectangle: text, an axis.
int Ink(const QImage& image, const QRect& rect) {
    int count = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    return count;
}

Chart::Data FourBars() {
    Chart::Data data;
    data.title = u"净现金(元)"_s;
    data.labels = QStringList{u"一月"_s, u"二月"_s, u"三月"_s, u"四月"_s};
    data.bars = {100000, 50000, 25000, -25000}; // 1000, 500, 250, -250 yuan
    return data;
}
} // namespace

// The chart of the reports, painted offscreen: bars as high as their values, the labels written.
class ChartTest : public QObject {
    Q_OBJECT
private slots:
    // Each bar's coloured pixels are as many as its value on the axis's scale: twice the value,
    // twice the height; a loss hangs below the zero line in its own colour.
    void barsAreAsHighAsTheirValues() {
        const Chart::Data data = FourBars();
        QImage image = Painted(data);
        const Chart::Geometry geometry = Chart::Lay(data, kArea, QFont(), &image);
        const double perFen = double(geometry.plot.height()) / double(geometry.top - geometry.bottom);
        QList<int> heights;
        for (int i = 0; i < data.bars.size(); ++i) {
            const QColor colour = data.bars.at(i) < 0 ? Chart::LossColour() : Chart::BarColour();
            const int x = geometry.bars.at(i).center().x();
            heights << Run(image, x, colour);
            QVERIFY2(std::abs(heights.last() - std::abs(data.bars.at(i)) * perFen) <= 1.5,
                     qPrintable(u"bar %1: %2 pixels, %3 wanted"_s.arg(i)
                                    .arg(heights.last())
                                    .arg(std::abs(data.bars.at(i)) * perFen)));
            // Up from the zero line, or down from it.
            const int y = data.bars.at(i) < 0 ? geometry.zeroY + 1 : geometry.zeroY - 2;
            QCOMPARE(image.pixelColor(x, y), colour);
        }
        QVERIFY(std::abs(heights.at(0) - 2 * heights.at(1)) <= 2);
        QVERIFY(std::abs(heights.at(1) - 2 * heights.at(2)) <= 2);
        QVERIFY(std::abs(heights.at(2) - heights.at(3)) <= 1);
        // The axis reaches past the highest and the lowest value, at round values.
        QVERIFY(geometry.top >= 100000 && geometry.bottom <= -25000);
        QVERIFY(geometry.ticks.contains(0));
    }

    // The title, a label under every bar and the axis's values are written.
    void labelsAreWritten() {
        const Chart::Data data = FourBars();
        QImage image = Painted(data);
        const Chart::Geometry geometry = Chart::Lay(data, kArea, QFont(), &image);
        const int labelTop = geometry.plot.bottom() + 2;
        for (const QRect& bar : geometry.bars)
            QVERIFY(Ink(image, QRect(bar.left(), labelTop, bar.width(), kArea.bottom() - labelTop)) > 20);
        QFont bold;
        bold.setBold(true);
        QVERIFY(Ink(image, QRect(0, 0, kArea.width(), QFontMetrics(bold).lineSpacing())) > 50); // the title
        // Left of the axis: the values of the ticks.
        QVERIFY(Ink(image, QRect(0, geometry.plot.top(), geometry.plot.left() - 2, geometry.plot.height())) >
                50);
        QCOMPARE(Chart::AxisText(125000, true), u"1,250"_s);
        QCOMPARE(Chart::AxisText(-1050, true), u"-10.50"_s);
        QCOMPARE(Chart::AxisText(12, false), u"12"_s);
    }

    // A line over the bars, in its colour; no bars at all says so and paints none.
    void lineAndNothing() {
        Chart::Data data = FourBars();
        data.line = {100000, 100000, 100000, 100000};
        data.lineName = u"现金收入"_s;
        QImage image = Painted(data);
        const Chart::Geometry geometry = Chart::Lay(data, kArea, QFont(), &image);
        const int y = geometry.bars.at(0).top();
        int lineInk = 0;
        for (int x = geometry.plot.left(); x < geometry.plot.right(); ++x) {
            bool line = false;
            for (int dy = -2; dy <= 2; ++dy)
                line = line || image.pixelColor(x, y + dy) == Chart::LineColour();
            lineInk += line ? 1 : 0;
        }
        QVERIFY(lineInk > geometry.plot.width() / 2);

        const QImage empty = Painted(Chart::Data{});
        QCOMPARE(Run(empty, kArea.width() / 2, Chart::BarColour()), 0);
        QVERIFY(Ink(empty, QRect(kArea.width() / 3, kArea.height() / 3, kArea.width() / 3,
                                 kArea.height() / 3)) > 10);
    }

    // A thousand days in 800 pixels: every bar still shows, and the labels thin out instead of
    // writing over each other.
    void manyBars() {
        Chart::Data data;
        for (int i = 0; i < 1000; ++i) {
            data.labels << QDate(2024, 1, 1).addDays(i).toString(u"yyyy-MM-dd"_s);
            data.bars << (i + 1) * 100;
        }
        QImage image = Painted(data);
        const Chart::Geometry geometry = Chart::Lay(data, kArea, QFont(), &image);
        QCOMPARE(geometry.bars.size(), 1000);
        QVERIFY(Run(image, geometry.bars.last().center().x(), Chart::BarColour()) >
                geometry.plot.height() * 9 / 10);
    }

    // The chart's data are the grid's rows: labels and amounts as shown, a total left out, the
    // most asked for.
    void dataFromTheRows() {
        QStandardItemModel model;
        const QList<QStringList> rows{{u"英雄"_s, u"1,234.50"_s, u"3"_s},
                                      {u"无间道"_s, u"-0.05"_s, u"1"_s},
                                      {u"合计"_s, u"1234.45"_s, u"4"_s},
                                      {u"大话西游"_s, u"7.00"_s, u"2"_s}};
        for (const QStringList& row : rows) {
            QList<QStandardItem*> items;
            for (const QString& cell : row)
                items << new QStandardItem(cell);
            model.appendRow(items);
        }
        const Chart::Data money = Chart::FromModel(model, 0, 1, -1, 2, true, {u"合计"_s});
        QCOMPARE(money.labels, (QStringList{u"英雄"_s, u"无间道"_s}));
        QCOMPARE(money.bars, (QList<qint64>{123450, -5}));
        const Chart::Data counts = Chart::FromModel(model, 0, 2, 1, 10, false, {u"合计"_s});
        QCOMPARE(counts.bars, (QList<qint64>{3, 1, 2}));
        QCOMPARE(counts.line, (QList<qint64>{1235, 0, 7}));

        CChart widget;
        widget.resize(600, 240);
        widget.SetData(money);
        QVERIFY(widget.accessibleDescription().contains(u"英雄 1,234.50"_s));
        const QImage shot = widget.grab().toImage();
        int bar = 0;
        for (int x = 0; x < shot.width(); ++x)
            bar += Run(shot, x, Chart::BarColour()) > 0 ? 1 : 0;
        QVERIFY(bar > 20);
    }
};
VORIX_TEST(ChartTest)

#include "tst_Chart.moc"
