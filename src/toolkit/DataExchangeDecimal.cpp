// The exchange of a real with a fixed number of decimals: amounts of money, read to the fen.
#include "toolkit/DataExchange.h"

#include <QLineEdit>
#include <cmath>

namespace {
// The limit as the prompt names it: its decimals, without the zeros that end them.
QString Limit(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}
} // namespace

QString CDataExchange::RealRangePrompt(double min, double max, int decimals) {
    return QStringLiteral("请输入一个介于 %1 和 %2 之间的数，最多 %3 位小数。")
        .arg(Limit(min, decimals), Limit(max, decimals))
        .arg(decimals);
}

QString CDataExchange::ReadReal(const QString& text, double min, double max, int decimals, double* value) {
    double number = 0;
    if (!FormText::ParseFormNumber(text, &number))
        return NumberPrompt();
    const double scale = std::pow(10.0, decimals);
    const double scaled = number * scale;
    // A typed 0.1 is a little off in binary: a tolerance far below a unit of the last decimal.
    const bool exact = std::abs(scaled - std::round(scaled)) <= 1e-6 * std::max(1.0, std::abs(scaled));
    if (number < min || number > max || !exact)
        return RealRangePrompt(min, max, decimals);
    *value = std::round(scaled) / scale;
    return QString();
}

void CDataExchange::Real(QLineEdit* edit, double& value, double min, double max, int decimals) {
    if (Skip(edit))
        return;
    if (!m_bSaveAndValidate) {
        edit->setText(QString::number(value, 'f', decimals));
        return;
    }
    double number = 0;
    const QString prompt = ReadReal(edit->text(), min, max, decimals, &number);
    if (!prompt.isEmpty())
        return Fail(edit, prompt);
    value = number;
}
