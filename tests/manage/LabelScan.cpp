#include "LabelScan.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr double kDotsPerMm = LabelScan::kDpi / 25.4;
constexpr int kDark = 128;

QRect Dots(const QRectF& mm, const QImage& page) {
    return QRect(QPoint(int(std::floor(mm.left() * kDotsPerMm)), int(std::floor(mm.top() * kDotsPerMm))),
                 QPoint(int(std::ceil(mm.right() * kDotsPerMm)), int(std::ceil(mm.bottom() * kDotsPerMm))))
        .intersected(page.rect());
}
} // namespace

bool LabelScan::ToolsPresent() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty();
}

QImage LabelScan::Page(const QString& pdf, int page) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("page"));
    QProcess run;
    run.start(QStringLiteral("pdftoppm"),
              {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-gray"), QStringLiteral("-f"),
               QString::number(page), QStringLiteral("-l"), QString::number(page),
               QStringLiteral("-singlefile"), pdf, out});
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return {};
    return QImage(out + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

QStringList LabelScan::Decode(const QImage& page, const QRectF& mm) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("part.png"));
    if (!page.copy(Dots(mm, page)).save(file))
        return {QStringLiteral("(could not save)")};
    QProcess run;
    run.start(QStringLiteral("zbarimg"), {QStringLiteral("-q"), file});
    run.waitForFinished(60000);
    QStringList codes =
        QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    codes.sort();
    return codes;
}

QRectF LabelScan::Ink(const QImage& page, const QRectF& window) {
    const QRect dots = Dots(window, page);
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = dots.top(); y <= dots.bottom(); ++y) {
        const uchar* line = page.constScanLine(y);
        for (int x = dots.left(); x <= dots.right(); ++x) {
            if (line[x] < kDark) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    return QRectF(left / kDotsPerMm, top / kDotsPerMm, (right + 1 - left) / kDotsPerMm,
                  (bottom + 1 - top) / kDotsPerMm);
}

bool LabelScan::Near(const QRectF& a, const QRectF& b, double tolerance) {
    return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance &&
           std::abs(a.right() - b.right()) <= tolerance && std::abs(a.bottom() - b.bottom()) <= tolerance;
}

QString LabelScan::Text(const QRectF& mm) {
    return QStringLiteral("(%1, %2)-(%3, %4) mm")
        .arg(mm.left(), 0, 'f', 2)
        .arg(mm.top(), 0, 'f', 2)
        .arg(mm.right(), 0, 'f', 2)
        .arg(mm.bottom(), 0, 'f', 2);
}
