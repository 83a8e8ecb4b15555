#pragma once
// The catalogue's fixed lists: the genres (Class1) and regions (Class2) a film is filed under,
// as the film editor offers them, and the film window's filters with "所有影片" in front.
#include <QString>
#include <QStringList>

namespace Films {
// "动作片" … "其它片", 11 entries; the last takes every genre not listed.
QStringList Genres();
// "大陆" … "其它", 5 entries; the last takes every region not listed.
QStringList Regions();
// The filter entry that lists every film.
QString AllFilms();
// AllFilms() followed by the genres (12 entries) and by the regions (6 entries).
QStringList GenreFilter();
QStringList RegionFilter();

// The entry a stored text is shown as: its own when listed (compared exactly), otherwise the last.
int GenreIndex(const QString& class1);
int RegionIndex(const QString& class2);
} // namespace Films
