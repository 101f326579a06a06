// Update feeds: which items count and what they offer, broken feeds, and the version order.
#include "support/TestData.h"
#include "support/TestMain.h"

#include "platform/AppcastParser.h"
#include "platform/UpdateError.h"
#include "platform/VersionNumber.h"

namespace {
const QUrl feedUrl(QStringLiteral("https://updates.example.org/pendlow/appcast.xml"));

QByteArray feedWithItems(const QByteArray& items) {
    return QByteArray(
               "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
               "<channel><title>t</title>") +
           items + "</channel></rss>";
}
} // namespace

class AppcastTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsUsableItemsWithTheirDownloadPages() {
        const QList<AppcastItem> items =
            AppcastParser::parse(fixtureOf("services/updates", QStringLiteral("appcast-newer.xml")), feedUrl);
        // Left out: the beta channel, the other system, the version written as markup, the item without
        // a version.
        QCOMPARE(items.size(), 3);

        QCOMPARE(items[0].displayVersionString, QStringLiteral("1.3.0"));
        QCOMPARE(items[0].versionString, QStringLiteral("130"));
        // No link: the enclosure, relative to the feed.
        QCOMPARE(items[0].downloadPage.toString(),
                 QStringLiteral("https://updates.example.org/pendlow/files/pendlow-1.3.0.tar.gz"));

        QCOMPARE(items[1].title, QStringLiteral("Pendlow 1.5.0"));
        QCOMPARE(items[1].displayVersionString, QStringLiteral("1.5.0"));
        QCOMPARE(items[1].versionString, QStringLiteral("150"));
        QCOMPARE(items[1].downloadPage.toString(),
                 QStringLiteral("https://updates.example.org/pendlow/download/1.5.0"));

        // Only a version: it is the display version too; neither link nor enclosure: the feed's link,
        // although the feed names it after its items.
        QCOMPARE(items[2].displayVersionString, QStringLiteral("1.4.1"));
        QCOMPARE(items[2].versionString, QStringLiteral("1.4.1"));
        QCOMPARE(items[2].downloadPage.toString(), QStringLiteral("https://updates.example.org/pendlow/"));

        const std::optional<AppcastItem> newest = AppcastParser::newestItem(items);
        QVERIFY(newest);
        QCOMPARE(newest->displayVersionString, QStringLiteral("1.5.0"));
        QVERIFY(!AppcastParser::newestItem({}));
    }

    void newestComparesDisplayVersions() {
        // Build numbers that run the other way must not decide; the first of two equal versions wins.
        const QList<AppcastItem> items = AppcastParser::parse(
            feedWithItems(
                "<item><title>a</title><sparkle:version>900</sparkle:version>"
                "<sparkle:shortVersionString>1.9</sparkle:shortVersionString></item>"
                "<item><title>b</title><sparkle:version>100</sparkle:version>"
                "<sparkle:shortVersionString>1.10</sparkle:shortVersionString></item>"
                "<item><title>c</title><enclosure url=\"x.tgz\" sparkle:version=\"1.10.0\"/></item>"),
            feedUrl);
        QCOMPARE(items.size(), 3);
        QCOMPARE(AppcastParser::newestItem(items)->title, QStringLiteral("b"));
    }

    void brokenFeedsThrow_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("detail"); // empty: the XML reader's own message
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("plain text") << QByteArray("Service Unavailable") << QString();
        QTest::newRow("JSON") << QByteArray("{\"version\": \"2.0\"}") << QString();
        QTest::newRow("HTML page") << QByteArray("<html><body><p>Moved</p></body></html>")
                                   << QStringLiteral("it is not an RSS feed");
        QTest::newRow("Atom feed")
            << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>x</title></feed>")
            << QStringLiteral("it is not an RSS feed");
        QTest::newRow("RSS without channel")
            << QByteArray("<rss version=\"2.0\"></rss>") << QStringLiteral("the feed has no channel");
        QTest::newRow("cut off")
            << feedWithItems("<item><sparkle:version>2.0</sparkle:version></item>").left(120) << QString();
        QTest::newRow("undeclared prefix")
            << QByteArray("<rss><channel><item><sparkle:version>2.0</sparkle:version></item></channel></rss>")
            << QString();
    }

    void brokenFeedsThrow() {
        QFETCH(QByteArray, data);
        QFETCH(QString, detail);
        try {
            AppcastParser::parse(data, feedUrl);
            QFAIL("no error");
        } catch (const UpdateError& error) {
            QCOMPARE(error.kind(), UpdateError::Kind::invalidFeed);
            QVERIFY(!error.detail().isEmpty());
            if (!detail.isEmpty()) {
                QCOMPARE(error.detail(), detail);
            }
            QVERIFY(
                error.description().startsWith(QStringLiteral("The update information could not be read: ")));
            QVERIFY(error.recoverySuggestion().isEmpty());
        }
    }

    void feedWithoutUsableItemsIsNoError() {
        QVERIFY(AppcastParser::parse(feedWithItems(""), feedUrl).isEmpty());
        QVERIFY(AppcastParser::parse(feedWithItems("<item><title>notes</title></item>"), feedUrl).isEmpty());
    }

    void versionOrder_data() {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::newRow("patch") << "1.4.0"
                               << "1.4.1";
        QTest::newRow("numbers, not text") << "1.9"
                                           << "1.10";
        QTest::newRow("more components") << "1.4"
                                         << "1.4.0.1";
        QTest::newRow("major") << "1.99.99"
                               << "2";
        QTest::newRow("pre-release before release") << "2.0-beta"
                                                    << "2.0";
        QTest::newRow("pre-release without separator") << "2.0b1"
                                                       << "2.0";
        QTest::newRow("pre-release numbers") << "2.0-beta2"
                                             << "2.0-beta10";
        QTest::newRow("pre-release names") << "2.0-beta3"
                                           << "2.0-rc1";
        QTest::newRow("pre-release of a newer version") << "1.9"
                                                        << "2.0-alpha";
        QTest::newRow("longer than a 64-bit number") << "1.99999999999999999999"
                                                     << "1.100000000000000000000";
    }

    void versionOrder() {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QCOMPARE(VersionNumber::compare(older, newer), -1);
        QCOMPARE(VersionNumber::compare(newer, older), 1);
    }

    void versionEquality_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("same") << "1.4.0"
                              << "1.4.0";
        QTest::newRow("missing zero component") << "1.4"
                                                << "1.4.0";
        QTest::newRow("leading zeros") << "1.04"
                                       << "1.4";
        QTest::newRow("v prefix") << "v1.4.0"
                                  << "1.4.0";
        QTest::newRow("build metadata") << "1.4.0+git.abc"
                                        << "1.4.0";
        QTest::newRow("suffix case") << "2.0-RC1"
                                     << "2.0-rc1";
    }

    void versionEquality() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QCOMPARE(VersionNumber::compare(a, b), 0);
        QCOMPARE(VersionNumber::compare(b, a), 0);
    }

    void versionValidity_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("dotted") << "1.4.0" << true;
        QTest::newRow("build number") << "150" << true;
        QTest::newRow("v prefix and suffix") << "v2.0.0-beta.1+abc" << true;
        QTest::newRow("with a space") << "2.0 RC" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("no digit first") << "beta" << false;
        QTest::newRow("only v") << "v" << false;
        QTest::newRow("markup") << "1.0<b>" << false;
        QTest::newRow("line break") << "1.0\nInstall now" << false;
        QTest::newRow("non-ASCII digit") << QStringLiteral("\u0661.0") << false;
        QTest::newRow("64 characters") << QStringLiteral("1.") + QString(62, QLatin1Char('0')) << true;
        QTest::newRow("65 characters") << QStringLiteral("1.") + QString(63, QLatin1Char('0')) << false;
    }

    void versionValidity() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(VersionNumber::isValid(text), valid);
    }
};

PENDLOW_TEST_MAIN(AppcastTest)
#include "tst_Appcast.moc"
