#include "data/ImportFields.h"

#include "base/Gbk.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/Films.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace {
using Import::Field;
using Import::Kind;

QStringList Names(std::initializer_list<const char16_t*> names) {
    QStringList list;
    for (const char16_t* name : names)
        list << QString::fromUtf16(name);
    return list;
}

// The first names are the headings 导出 writes; the others, those spreadsheets of shops often use.
const QList<Field>& FilmFields() {
    static const QList<Field> fields{
        {"FilmID", QString(), Names({u"编号", u"影片编号", u"条码", u"编码", u"片号", u"代码"}), Kind::Code,
         CFilmInfo::kTextBytes, true},
        {"FilmName", QString(), Names({u"片名", u"影片名称", u"名称", u"影片名", u"片名称", u"标题"}),
         Kind::Text, CFilmInfo::kTextBytes, true},
        {"Playactor", QString(), Names({u"主演", u"演员", u"主要演员"}), Kind::Text, CFilmInfo::kTextBytes},
        {"Type", QString(), Names({u"类型", u"介质", u"格式", u"碟片类型"}), Kind::Medium},
        {"Class1", QString(), Names({u"分类1", u"分类", u"类别", u"影片类型", u"题材"}), Kind::Genre},
        {"Class2", QString(), Names({u"分类2", u"地区", u"产地", u"区域"}), Kind::Region},
        {"StgDate", QString(), Names({u"入库日期", u"日期", u"入库时间", u"上架日期"}), Kind::Date},
        {"Degree", QString(), Names({u"租次", u"出租次数", u"次数"}), Kind::Count},
        {"Remark", QString(), Names({u"备注", u"说明", u"简介"}), Kind::Text, CFilmInfo::kRemarkBytes},
    };
    return fields;
}

const QList<Field>& ClientFields() {
    static const QList<Field> fields{
        {"ClientID", QString(), Names({u"编号", u"客户编号", u"会员号", u"会员编号", u"卡号"}), Kind::Code,
         CClientInfo::kNumberBytes, true},
        {"PhoneNum", QString(), Names({u"电话", u"手机", u"电话号码", u"联系电话", u"手机号"}), Kind::Text,
         CClientInfo::kNumberBytes},
        {"CreateDate", QString(), Names({u"开户日期", u"日期", u"办卡日期", u"入会日期"}), Kind::Date},
        {"Foregift", QString(), Names({u"押金", u"开户押金"}), Kind::Money},
        {"Balance", QString(), Names({u"余款", u"余额", u"储值", u"预存款"}), Kind::Money},
        {"Remark", QString(), Names({u"备注", u"姓名", u"名字", u"说明"}), Kind::Text,
         CClientInfo::kRemarkBytes},
    };
    return fields;
}

QList<Field> WithHeadings(QList<Field> fields) {
    for (Field& field : fields)
        field.heading = field.names.first();
    return fields;
}

QString Folded(const QString& heading) {
    QString folded = heading.toCaseFolded();
    folded.remove(QRegularExpression(QStringLiteral("\\s")));
    return folded;
}

// The days the editors' date pickers take: from 1900 on, as the film form's picker.
QDate ReadDate(const QString& text) {
    static const QRegularExpression shape(QStringLiteral(
        "^(\\d{4})[-/.年](\\d{1,2})[-/.月](\\d{1,2})日?(?:[ T]\\d{1,2}:\\d{2}(?::\\d{2})?)?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        match = compact.match(text);
    if (!match.hasMatch())
        return QDate();
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return date.isValid() && date.year() >= 1900 ? date : QDate();
}

Import::Cell Listed(const Field& field, const QString& text, const QStringList& list, bool acceptUnknown) {
    for (const QString& entry : list) {
        if (entry.compare(text, Qt::CaseInsensitive) == 0)
            return {entry, QString()};
    }
    const QString shown = QStringLiteral("%1“%2”").arg(field.heading, text);
    if (acceptUnknown)
        return {text, QString(), true};
    return {QString(), shown + QStringLiteral("不在列表中(%1)").arg(list.join(QLatin1Char('/'))), true};
}

Import::Cell Bytes(const Field& field, const QString& text) {
    const int bytes = Gbk::ByteLength(text);
    if (bytes < 0)
        return {
            QString(),
            QStringLiteral("%1含有 GBK 无法保存的字符“%2”").arg(field.heading, Gbk::FirstUnencodable(text))};
    if (bytes > field.maxBytes)
        return {
            QString(),
            QStringLiteral("%1太长(%2 字节,最多 %3 字节)").arg(field.heading).arg(bytes).arg(field.maxBytes)};
    return {text, QString()};
}
} // namespace

const QList<Field>& Import::Fields(What what) {
    static const QList<Field> films = WithHeadings(FilmFields());
    static const QList<Field> clients = WithHeadings(ClientFields());
    return what == What::Films ? films : clients;
}

QList<int> Import::Match(What what, const QStringList& headings) {
    const QList<Field>& fields = Fields(what);
    QList<int> mapping;
    for (const QString& heading : headings) {
        int found = -1;
        for (int i = 0; i < fields.size() && found < 0; ++i) {
            for (const QString& name : fields[i].names) {
                if (Folded(name) == Folded(heading) && !mapping.contains(i))
                    found = i;
            }
        }
        mapping << found;
    }
    return mapping;
}

Import::Cell Import::Check(const Field& field, const QString& text, bool acceptUnknown) {
    if (text.isEmpty())
        return {};
    switch (field.kind) {
    case Kind::Code:
    case Kind::Text:
        return Bytes(field, text);
    case Kind::Medium:
        return Listed(field, text, {QStringLiteral("VCD"), QStringLiteral("DVD")}, acceptUnknown);
    case Kind::Genre:
        return Listed(field, text, Films::Genres(), acceptUnknown);
    case Kind::Region:
        return Listed(field, text, Films::Regions(), acceptUnknown);
    case Kind::Date: {
        const QDate date = ReadDate(text);
        if (!date.isValid())
            return {QString(), QStringLiteral("%1“%2”不是日期").arg(field.heading, text)};
        return {date.toString(QStringLiteral("yyyy-MM-dd")), QString()};
    }
    case Kind::Count: {
        static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
        if (!digits.match(text).hasMatch() || text.toInt() > CFilmInfo::kMaxDegree)
            return {QString(), QStringLiteral("%1“%2”不是 0 到 %3 之间的整数")
                                   .arg(field.heading, text, QString::number(CFilmInfo::kMaxDegree))};
        return {QString::number(text.toInt()), QString()};
    }
    case Kind::Money: {
        QString number = text;
        number.remove(QRegularExpression(QStringLiteral("^[¥￥]|元$"))).remove(QLatin1Char(','));
        bool ok = false;
        const double yuan = QLocale::c().toDouble(number.trimmed(), &ok);
        if (!ok || yuan < 0 || yuan > CClientInfo::kMaxMoney)
            return {QString(),
                    QStringLiteral("%1“%2”不是 0 到 %3 之间的金额")
                        .arg(field.heading, text, QString::number(double(CClientInfo::kMaxMoney)))};
        return {QString::number(yuan, 'f', 2), QString()};
    }
    }
    return {};
}

QString Import::WhatName(What what) {
    return what == What::Films ? QStringLiteral("影片") : QStringLiteral("客户");
}

QString Import::TableOf(What what) {
    return what == What::Films ? QStringLiteral("Film") : QStringLiteral("Client");
}
