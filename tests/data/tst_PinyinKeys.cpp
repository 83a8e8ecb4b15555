#include "TestRegistry.h"

#include "base/Pinyin.h"
#include "base/SearchKeys.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}
QStringList Words(const QString& text) {
    return text.split(u' ', Qt::SkipEmptyParts);
}
} // namespace

// The pinyin keys of real titles, written down by hand: the initials and the full pinyin a clerk
// types, every reading of a polyphone, traditional characters read as simplified, Latin letters and
// digits as they stand, punctuation left out.
class PinyinKeysTest : public QObject {
    Q_OBJECT
private slots:
    void titles_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("initials"); // every one must be among the keys
        QTest::addColumn<QString>("full");
        QTest::addColumn<bool>("exact"); // the keys are these and no others
        const auto row = [](const char* name, const QString& title, const char* initials, const char* full,
                            bool exact) {
            QTest::newRow(name) << title << QString::fromLatin1(initials) << QString::fromLatin1(full)
                                << exact;
        };
        row("英雄", u"英雄"_s, "yx", "yingxiong", true);
        row("功夫", u"功夫"_s, "gf", "gongfu", true);
        row("午夜凶铃", u"午夜凶铃"_s, "wyxl", "wuyexiongling", true);
        row("东邪西毒", u"东邪西毒"_s, "dxxd", "dongxiexidu", false);
        row("霸王别姬", u"霸王别姬"_s, "bwbj", "bawangbieji", true);
        row("非诚勿扰", u"非诚勿扰"_s, "fcwr", "feichengwurao", true);
        row("甲方乙方", u"甲方乙方"_s, "jfyf", "jiafangyifang", true);
        row("无间道", u"无间道"_s, "wjd", "wujiandao", false);
        row("长江七号: 长 chang and zhang", u"长江七号"_s, "cjqh zjqh", "changjiangqihao zhangjiangqihao",
            true);
        row("重庆森林: 重 chong and zhong", u"重庆森林"_s, "cqsl zqsl", "chongqingsenlin zhongqingsenlin",
            true);
        row("大话西游: 大 da and dai", u"大话西游"_s, "dhxy", "dahuaxiyou daihuaxiyou", false);
        row("行运一条龙: 行 xing and hang", u"行运一条龙"_s, "xyytl hyytl",
            "xingyunyitiaolong hangyunyitiaolong", false);
        row("快乐大本营: 乐 le and yue", u"快乐大本营"_s, "kldby kydby", "kuailedabenying kuaiyuedabenying",
            false);
        row("还珠格格: 还 huan and hai", u"还珠格格"_s, "hzgg", "huanzhugege haizhugege", false);
        row("会计: 会 hui and kuai", u"会计"_s, "hj kj", "huiji kuaiji", false);
        row("音乐之声", u"音乐之声"_s, "yyzs ylzs", "yinyuezhisheng yinlezhisheng", false);
        row("卧虎藏龙: 藏 cang and zang", u"卧虎藏龙"_s, "whcl whzl", "wohucanglong wohuzanglong", false);
        row("花样年华", u"花样年华"_s, "hynh", "huayangnianhua", true);
        row("十面埋伏", u"十面埋伏"_s, "smmf", "shimianmaifu", false);
        row("倩女幽魂: ü as v", u"倩女幽魂"_s, "qnyh", "qiannvyouhun", false);
        row("天下无贼", u"天下无贼"_s, "txwz", "tianxiawuzei", false);
        row("唐伯虎点秋香", u"唐伯虎点秋香"_s, "tbhdqx", "tangbohudianqiuxiang", false);
        row("让子弹飞", u"让子弹飞"_s, "rzdf", "rangzidanfei", false);
        row("千与千寻", u"千与千寻"_s, "qyqx", "qianyuqianxun", false);
        row("大红灯笼高高挂", u"大红灯笼高高挂"_s, "dhdlggg", "dahongdenglonggaogaogua", false);
        row("活着", u"活着"_s, "hz", "huozhe", false);
        row("阿飞正传", u"阿飞正传"_s, "afzz", "afeizhengzhuan", false);
        row("2046", u"2046"_s, "2046", "2046", true);
        row("X战警", u"X战警"_s, "xzj", "xzhanjing", true);
        row("007大破天幕杀机", u"007大破天幕杀机"_s, "007dptmsj", "007dapotianmushaji", false);
        row("2001太空漫游", u"2001太空漫游"_s, "2001tkmy", "2001taikongmanyou", true);
        row("终结者2", u"终结者2"_s, "zjz2", "zhongjiezhe2", true);
        row("黑客帝国2：重装上阵", u"黑客帝国2：重装上阵"_s, "hkdg2zzsz hkdg2czsz",
            "heikediguo2zhongzhuangshangzhen heikediguo2chongzhuangshangzhen", false);
        row("《英雄》", u"《英雄》"_s, "yx", "yingxiong", true);
        row("哈利·波特与魔法石", u"哈利·波特与魔法石"_s, "hlbtymfs", "haliboteyumofashi", false);
        row("蝙蝠侠：黑暗骑士", u"蝙蝠侠：黑暗骑士"_s, "bfxhaqs", "bianfuxiaheianqishi", false);
        row("Titanic", u"Titanic"_s, "titanic", "titanic", true);
        row("Amélie, accents dropped", u"Amélie"_s, "amelie", "amelie", true);
        row("Ｅ．Ｔ． full-width", u"Ｅ．Ｔ．"_s, "et", "et", true);
        row("泰坦尼克号", u"泰坦尼克号"_s, "ttnkh", "taitannikehao", true);
        row("traditional 無間道", u"無間道"_s, "wjd", "wujiandao", false);
        row("traditional 長江七號", u"長江七號"_s, "cjqh zjqh", "changjiangqihao zhangjiangqihao", false);
        row("traditional 臥虎藏龍", u"臥虎藏龍"_s, "whcl", "wohucanglong", false);
        row("traditional 倚天屠龍記", u"倚天屠龍記"_s, "yttlj", "yitiantulongji", true);
        row("traditional 喜劇之王", u"喜劇之王"_s, "xjzw", "xijuzhiwang", true);
        row("traditional 鹿鼎記", u"鹿鼎記"_s, "ldj", "ludingji", true);
        row("empty", QString(), "", "", true);
        row("punctuation only", u"《》·：  "_s, "", "", true);
        row("kana left out", u"千と千尋"_s, "qqx", "qianqianxun", false);
    }
    void titles() {
        QFETCH(QString, title);
        QFETCH(QString, initials);
        QFETCH(QString, full);
        QFETCH(bool, exact);
        const Pinyin::Keys keys = Pinyin::Of(title);
        if (exact) {
            QCOMPARE(Sorted(keys.initials), Sorted(Words(initials)));
            QCOMPARE(Sorted(keys.full), Sorted(Words(full)));
            return;
        }
        for (const QString& key : Words(initials))
            QVERIFY2(keys.initials.contains(key), qPrintable(key + u" not in "_s + keys.initials.join(u' ')));
        for (const QString& key : Words(full))
            QVERIFY2(keys.full.contains(key), qPrintable(key + u" not in "_s + keys.full.join(u' ')));
        QVERIFY(keys.initials.size() <= Pinyin::kMaxCombinations);
        QVERIFY(keys.full.size() <= Pinyin::kMaxCombinations);
    }

    // The common reading comes first; the readings of the first characters are all kept, and
    // those past the cap give their common reading alone.
    void combinationsAreCapped() {
        QCOMPARE(Pinyin::Readings(U'长').first(), u"zhang"_s);
        QVERIFY(Pinyin::Readings(U'长').contains(u"chang"_s));
        QVERIFY(Pinyin::Readings(U'A').isEmpty());
        const Pinyin::Keys keys = Pinyin::Of(u"长长长长长"_s);
        QCOMPARE(keys.initials.size(), Pinyin::kMaxCombinations);
        QCOMPARE(keys.initials.first(), u"zzzzz"_s);
        QVERIFY(keys.initials.contains(u"ccccz"_s));
        QVERIFY(!keys.initials.contains(u"ccccc"_s));
        QCOMPARE(keys.full.size(), Pinyin::kMaxCombinations);
    }

    void filmsAndClients() {
        const QList<SearchKeys::Key> film = SearchKeys::OfFilm(u"英雄"_s, u"李连杰 梁朝伟/张曼玉"_s);
        const auto has = [](const QList<SearchKeys::Key>& keys, int kind, const QString& pinyin) {
            return std::any_of(keys.begin(), keys.end(), [&](const SearchKeys::Key& k) {
                return k.kind == kind && k.pinyin == pinyin;
            });
        };
        QVERIFY(has(film, SearchKeys::TitleInitials, u"yx"_s));
        QVERIFY(has(film, SearchKeys::TitleFull, u"yingxiong"_s));
        QVERIFY(has(film, SearchKeys::ActorInitials, u"llj"_s));
        QVERIFY(has(film, SearchKeys::ActorInitials, u"lcw"_s));
        QVERIFY(has(film, SearchKeys::ActorFull, u"zhangmanyu"_s));
        const QList<SearchKeys::Key> client = SearchKeys::OfClient(u"张三 老顾客"_s, u"138-0013 8000"_s);
        QVERIFY(has(client, SearchKeys::RemarkInitials, u"zs"_s));
        QVERIFY(has(client, SearchKeys::RemarkInitials, u"lgk"_s));
        QVERIFY(has(client, SearchKeys::PhoneDigits, u"13800138000"_s));
        QVERIFY(SearchKeys::OfClient(QString(), QString()).isEmpty());
        QCOMPARE(SearchKeys::Encoded({{1, u"yx"_s}, {2, u"yingxiong"_s}}), u"1yx 2yingxiong"_s);
    }

    void typedSearchText() {
        QCOMPARE(Pinyin::SearchText(u" CJ qh "_s), u"cjqh"_s);
        QCOMPARE(Pinyin::SearchText(u"Ｆ００１"_s), u"f001"_s);
        QCOMPARE(Pinyin::SearchText(u"长江"_s), QString());
        QCOMPARE(Pinyin::SearchText(u"x战"_s), QString());
        QCOMPARE(Pinyin::SearchText(u"%_'"_s), QString());
    }
};
VORIX_TEST_ON_FILE_ONLY(PinyinKeysTest)

#include "tst_PinyinKeys.moc"
