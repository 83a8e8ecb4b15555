#include "GbkBytes.h"
#include "TestRegistry.h"

#include "base/CsvRead.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The rows as "line:field|field", apart by " / ".
QString Shown(const CsvRead::Table& table) {
    QStringList rows;
    for (const CsvRead::Row& row : table.rows)
        rows << QString::number(row.line) + u':' + row.fields.join(u'|');
    return rows.join(u" / "_s);
}
} // namespace

// The reader of the files an import takes: the encodings and separators spreadsheets write, and
// RFC 4180's quoting.
class ImportReadTest : public QObject {
    Q_OBJECT
private slots:
    void readsAsSpreadsheetsWrite_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("headings");
        QTest::addColumn<QString>("rows");
        const QString film = u"编号,片名\r\nA1,英雄\r\n"_s;
        QTest::newRow("UTF-8") << film.toUtf8() << u"UTF-8"_s << u","_s << u"编号|片名"_s << u"2:A1|英雄"_s;
        QTest::newRow("UTF-8 with a BOM") << "\xEF\xBB\xBF" + film.toUtf8() << u"UTF-8(带 BOM)"_s << u","_s
                                          << u"编号|片名"_s << u"2:A1|英雄"_s;
        QTest::newRow("GBK, semicolons") << GbkBytes(u"编号;片名\nA1;英雄\nA2;无间道"_s) << u"GBK"_s << u";"_s
                                         << u"编号|片名"_s << u"2:A1|英雄 / 3:A2|无间道"_s;
        QTest::newRow("tabs") << u"编号\t片名\tx,y\nA1\t英雄\t1,2\n"_s.toUtf8() << u"UTF-8"_s << u"\t"_s
                              << u"编号|片名|x,y"_s << u"2:A1|英雄|1,2"_s;
        QTest::newRow("quotes with line breaks")
            << u"编号,备注\r\nA1,\"第一行\r\n第二行, 有\"\"引号\"\"\"\r\nA2,\"\"\r\n"_s.toUtf8() << u"UTF-8"_s
            << u","_s << u"编号|备注"_s << u"2:A1|第一行\n第二行, 有\"引号\" / 4:A2|"_s;
        QTest::newRow("a separator inside quotes in the headings")
            << u"\"编号;代码\";片名\nA1;英雄\n"_s.toUtf8() << u"UTF-8"_s << u";"_s << u"编号;代码|片名"_s
            << u"2:A1|英雄"_s;
        QTest::newRow("empty lines and a line of separators")
            << u"\n编号,片名\n\nA1,英雄\n,,\n  \nA2,x"_s.toUtf8() << u"UTF-8"_s << u","_s << u"编号|片名"_s
            << u"4:A1|英雄 / 7:A2|x"_s;
        QTest::newRow("heading only")
            << u"编号,片名\r\n"_s.toUtf8() << u"UTF-8"_s << u","_s << u"编号|片名"_s << QString();
        QTest::newRow("emoji, short rows") << u"编号,片名,主演\nA1,😀🎬\nA2\n"_s.toUtf8() << u"UTF-8"_s
                                           << u","_s << u"编号|片名|主演"_s << u"2:A1|😀🎬 / 3:A2"_s;
        QTest::newRow("no line break at the end, CR only")
            << u"编号,片名\rA1,英雄"_s.toUtf8() << u"UTF-8"_s << u","_s << u"编号|片名"_s << u"2:A1|英雄"_s;
    }
    void readsAsSpreadsheetsWrite() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, separator);
        QFETCH(QString, headings);
        QFETCH(QString, rows);
        const CsvRead::Table table = CsvRead::Parse(bytes);
        QCOMPARE(table.error, QString());
        QCOMPARE(CsvRead::EncodingName(table.encoding), encoding);
        QCOMPARE(QString(table.separator), separator);
        QCOMPARE(table.headings.join(u'|'), headings);
        QCOMPARE(Shown(table), rows);
    }

    // Bytes that are neither UTF-8 nor GBK are refused with a reason, not read as nonsense.
    void refusesWhatIsNeitherEncoding() {
        const CsvRead::Table table = CsvRead::Parse(QByteArray("\xEF\xBB,\xFF\xFF\n", 6));
        QVERIFY(table.error.contains(u"既不是 UTF-8 也不是 GBK"_s));
        QVERIFY(table.rows.isEmpty());
    }
};
VORIX_TEST_ON_FILE_ONLY(ImportReadTest)
#include "tst_ImportRead.moc"
