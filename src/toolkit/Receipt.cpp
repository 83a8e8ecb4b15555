#include "toolkit/Receipt.h"

#include "base/Clock.h"
#include "base/Prompter.h"
#include "data/COptionInfo.h"
#include "toolkit/ReceiptPrint.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

QStringList Receipt::Lines(const Slip& slip, const QString& shopName, const QDateTime& at) {
    QStringList lines{shopName.trimmed().isEmpty() ? QStringLiteral("Vorix") : shopName.trimmed(),
                      slip.title + QStringLiteral("小票"),
                      QStringLiteral("时间:") + at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                      QStringLiteral("操作员:") + slip.optUser, QStringLiteral("客户:") + slip.client};
    if (!slip.film.isEmpty())
        lines << QStringLiteral("影片:") + slip.film;
    for (const auto& [label, amount] : slip.amounts)
        lines << label + QLatin1Char('\t') + amount;
    lines << QString() << QStringLiteral("谢谢惠顾");
    return lines;
}

QString Receipt::Folder() {
    return QDir::current().filePath(QStringLiteral("小票"));
}

namespace {
// A file name of the time, the action and the codes, unique in the folder; nothing in it that a
// file system refuses.
QString PdfPath(const Receipt::Slip& slip, const QDateTime& at) {
    static const QRegularExpression refused(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QStringList parts{at.toString(QStringLiteral("yyyy-MM-dd HHmmss")), slip.title};
    for (const QString& part : {slip.client, slip.film}) {
        if (!part.isEmpty())
            parts << QString(part).replace(refused, QStringLiteral("_"));
    }
    const QString name = parts.join(QLatin1Char(' ')).left(120);
    const QDir folder(Receipt::Folder());
    QString path = folder.filePath(name + QStringLiteral(".pdf"));
    for (int n = 2; QFile::exists(path); ++n)
        path = folder.filePath(name + QStringLiteral(" (%1).pdf").arg(n));
    return path;
}
} // namespace

void Receipt::After(const Slip& slip) {
    if (COptionInfo::Get(COptionInfo::kReceipts, QString()) != QStringLiteral("1"))
        return; // off, or the setting could not be read (its message is shown)
    const QString shopName = COptionInfo::Get(COptionInfo::kShopName, QString());
    const bool toPdf =
        COptionInfo::Get(COptionInfo::kReceiptTo, QStringLiteral("printer")) == QStringLiteral("pdf");
    const QDateTime at = Clock::Now();
    QPrinter printer(QPrinter::HighResolution);
    QString error;
    bool printed = false;
    if (toPdf) {
        if (!QDir().mkpath(Folder())) {
            error = QStringLiteral("无法建立文件夹 ") + QDir::toNativeSeparators(Folder());
        } else {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(PdfPath(slip, at));
            printed = ReceiptPrint::Print(&printer, Lines(slip, shopName, at), &error);
        }
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        error = QStringLiteral("没有可用的打印机。");
    } else {
        printer.setDocName(slip.title + QStringLiteral("小票"));
        printed = ReceiptPrint::Print(&printer, Lines(slip, shopName, at), &error);
    }
    if (!printed)
        Prompter::MessageBox(QStringLiteral("%1已完成,但小票没有打印:\n%2").arg(slip.title, error),
                             QStringLiteral("小票"), MsgIcon::Warning);
}
