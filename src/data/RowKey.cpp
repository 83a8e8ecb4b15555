#include "data/RowKey.h"

RowKey RowKey::FromText(const QString& text) {
    const qsizetype start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == start)
        return {};
    for (qsizetype i = start; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch < u'0' || ch > u'9')
            return {};
    }
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok ? RowKey(id) : RowKey();
}
