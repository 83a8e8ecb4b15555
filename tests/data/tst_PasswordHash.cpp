#include "TestRegistry.h"

#include "base/PasswordHash.h"

#include <QTest>

// The stored form of operator passwords: what is stored never shows the password, and exactly the
// typed password matches it.
class PasswordHashTest : public QObject {
    Q_OBJECT
private slots:
    void knownAnswer() {
        // PBKDF2-HMAC-SHA256 of "password" with salt "salt", one round (RFC 7914's vector).
        QCOMPARE(
            PasswordHash::Make(QStringLiteral("password"), QByteArray("salt"), 1),
            QStringLiteral("pbkdf2-sha256$1$c2FsdA==$") +
                QString::fromLatin1(
                    QByteArray::fromHex("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b")
                        .toBase64()));
    }

    void onlyTheTypedPasswordMatches_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same") << "admin"
                              << "admin" << true;
        QTest::newRow("other case") << "admin"
                                    << "Admin" << false;
        QTest::newRow("trailing blank") << "admin"
                                        << "admin " << false;
        QTest::newRow("wrong") << "admin"
                               << "admni" << false;
        QTest::newRow("empty") << ""
                               << "" << true;
        QTest::newRow("empty typed") << "x"
                                     << "" << false;
        QTest::newRow("Chinese") << QStringLiteral("影片出租") << QStringLiteral("影片出租") << true;
        QTest::newRow("Chinese, one off")
            << QStringLiteral("影片出租") << QStringLiteral("影片出祖") << false;
        QTest::newRow("quotes") << "a'b\"c$d"
                                << "a'b\"c$d" << true;
        QTest::newRow("20 bytes") << "12345678901234567890"
                                  << "12345678901234567890" << true;
    }
    void onlyTheTypedPasswordMatches() {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        const QString stored = PasswordHash::Make(password);
        QVERIFY(PasswordHash::IsHash(stored));
        QVERIFY(stored != password);
        QCOMPARE(PasswordHash::Matches(stored, typed), matches);
        // A row written by another program keeps the password as typed: compared as it stands.
        QCOMPARE(PasswordHash::Matches(password, typed), matches);
    }

    void eachHashHasItsOwnSaltAndTheCount() {
        const QString a = PasswordHash::Make(QStringLiteral("admin"));
        const QString b = PasswordHash::Make(QStringLiteral("admin"));
        QVERIFY(a != b);
        const QStringList parts = a.split(QLatin1Char('$'));
        QCOMPARE(parts.size(), 4);
        QCOMPARE(parts[0], QStringLiteral("pbkdf2-sha256"));
        QCOMPARE(parts[1].toInt(), PasswordHash::kIterations);
        QCOMPARE(QByteArray::fromBase64(parts[2].toLatin1()).size(), PasswordHash::kSaltBytes);
        // A hash made with another count still matches: the count can be raised later.
        QVERIFY(PasswordHash::Matches(PasswordHash::Make(QStringLiteral("pw"), QByteArray(16, 'x'), 7),
                                      QStringLiteral("pw")));
    }

    // A value that only looks like a hash is a password stored as typed.
    void malformedHashesArePlainPasswords_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("no count") << "pbkdf2-sha256$$c2FsdA==$Eg+2z/z4syxD5yJSVsT4N6hlSMkszDVICAWYfLcL4Xs=";
        QTest::newRow("count not a number")
            << "pbkdf2-sha256$x$c2FsdA==$Eg+2z/z4syxD5yJSVsT4N6hlSMkszDVICAWYfLcL4Xs=";
        QTest::newRow("huge count")
            << "pbkdf2-sha256$2000000000$c2FsdA==$Eg+2z/z4syxD5yJSVsT4N6hlSMkszDVICAWYfLcL4Xs=";
        QTest::newRow("short hash") << "pbkdf2-sha256$1$c2FsdA==$EgA=";
        QTest::newRow("bad base64")
            << "pbkdf2-sha256$1$c2F*dA==$Eg+2z/z4syxD5yJSVsT4N6hlSMkszDVICAWYfLcL4Xs=";
        QTest::newRow("other scheme") << "md5$1$c2FsdA==$EgA=";
    }
    void malformedHashesArePlainPasswords() {
        QFETCH(QString, stored);
        QVERIFY(!PasswordHash::IsHash(stored));
        QVERIFY(PasswordHash::Matches(stored, stored));
        QVERIFY(!PasswordHash::Matches(stored, QStringLiteral("password")));
    }
};
VORIX_TEST_ON_FILE_ONLY(PasswordHashTest)
#include "tst_PasswordHash.moc"
