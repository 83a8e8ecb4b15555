#include "data/Films.h"

namespace {
int IndexOrLast(const QStringList& list, const QString& text) {
    const qsizetype index = list.indexOf(text);
    return int(index < 0 ? list.size() - 1 : index);
}
} // namespace

QStringList Films::Genres() {
    return {QStringLiteral("动作片"), QStringLiteral("喜剧片"), QStringLiteral("爱情片"),
            QStringLiteral("科幻片"), QStringLiteral("恐怖片"), QStringLiteral("战争片"),
            QStringLiteral("文艺片"), QStringLiteral("记录片"), QStringLiteral("动漫片"),
            QStringLiteral("连续片"), QStringLiteral("其它片")};
}

QStringList Films::Regions() {
    return {QStringLiteral("大陆"), QStringLiteral("港台"), QStringLiteral("日本"), QStringLiteral("欧美"),
            QStringLiteral("其它")};
}

QString Films::AllFilms() {
    return QStringLiteral("所有影片");
}

QStringList Films::GenreFilter() {
    return QStringList{AllFilms()} + Genres();
}

QStringList Films::RegionFilter() {
    return QStringList{AllFilms()} + Regions();
}

int Films::GenreIndex(const QString& class1) {
    return IndexOrLast(Genres(), class1);
}

int Films::RegionIndex(const QString& class2) {
    return IndexOrLast(Regions(), class2);
}
