// Shared formatting helpers: duration texts, hex colours, application names, version, background.
#include "support/TestMain.h"

#include "core/Formatting.h"
#include "core/ShareText.h"

#include <QPalette>

#include <limits>

class Formatting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hoursMinutes_data() {
        QTest::addColumn<double>("milliseconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "00:00";
        QTest::newRow("90 minutes") << 5400000.0 << "01:30";
        QTest::newRow("seconds are dropped") << 59999.0 << "00:00";
        QTest::newRow("not rounded up") << 3599999.0 << "00:59";
        QTest::newRow("fraction of a millisecond") << 60000.9 << "00:01";
        QTest::newRow("hours do not wrap") << 100.0 * 3600 * 1000 << "100:00";
        QTest::newRow("30 + 45 minutes") << 75.0 * 60 * 1000 << "01:15";
        QTest::newRow("negative keeps its sign") << -5400000.0 << "-01:30";
        QTest::newRow("under a minute below zero") << -30000.0 << "00:00";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "00:00";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "00:00";
    }

    void hoursMinutes() {
        QFETCH(double, milliseconds);
        QTEST(hoursMinutesText(milliseconds), "text");
    }

    void hugeDurationsStayReadable() {
        const QString text = hoursMinutesText(1e300);
        QVERIFY2(text.contains(QLatin1Char(':')) && !text.startsWith(QLatin1Char('-')), qPrintable(text));
    }

    // Shares print as "%.0f%%" does: halves go to the even neighbour, not up.
    void shareText_data() {
        QTest::addColumn<double>("percentage");
        QTest::addColumn<QString>("text");
        QTest::newRow("half down to even") << 12.5 << "12%";
        QTest::newRow("half up to even") << 13.5 << "14%";
        QTest::newRow("zero half") << 0.5 << "0%";
        QTest::newRow("above half") << 74.6 << "75%";
        QTest::newRow("just above a half") << 12.500001 << "13%";
        QTest::newRow("whole") << 100.0 << "100%";
        QTest::newRow("over a hundred") << 140.4 << "140%";
    }

    void shareText() {
        QFETCH(double, percentage);
        QFETCH(QString, text);
        QCOMPARE(::shareText(percentage), text);
    }

    void colorFromHex_data() {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QColor>("color");
        QTest::newRow("#RRGGBB") << "#FF0000" << QColor(255, 0, 0, 255);
        QTest::newRow("RRGGBB") << "FF0000" << QColor(255, 0, 0, 255);
        QTest::newRow("lower case") << "#7b68ee" << QColor(0x7b, 0x68, 0xee, 255);
        QTest::newRow("AARRGGBB, alpha first") << "80FF0000" << QColor(255, 0, 0, 128);
        QTest::newRow("#RGB doubles each digit") << "#abc" << QColor(0xaa, 0xbb, 0xcc, 255);
        QTest::newRow("F80") << "F80" << QColor(0xff, 0x88, 0x00, 255);
        QTest::newRow("five digits is black") << "12345" << QColor(0, 0, 0, 255);
        QTest::newRow("nothing readable is black") << "GGGGGG" << QColor(0, 0, 0, 255);
        QTest::newRow("reading stops at a non-hex digit") << "12G456" << QColor(0, 0, 0x12, 255);
        QTest::newRow("surrounding spaces and marks trimmed") << "  #f80;  " << QColor(0xff, 0x88, 0x00, 255);
        QTest::newRow("inner space stays and ends the reading") << "#ff 000" << QColor(0, 0, 0xff, 255);
        QTest::newRow("empty") << "" << QColor(0, 0, 0, 255);
        QTest::newRow("only a hash") << "#" << QColor(0, 0, 0, 255);
        QTest::newRow("no 0x prefix") << "0x1234" << QColor(0, 0, 0, 255);
        QTest::newRow("non-ASCII letters count as characters")
            << QStringLiteral("#\u00e9\u00e9\u00e9") << QColor(0, 0, 0, 255);
    }

    void colorFromHex() {
        QFETCH(QString, hex);
        QFETCH(QColor, color);
        const QColor result = ::colorFromHex(hex);
        QCOMPARE(result.spec(), QColor::Rgb); // sRGB
        QCOMPARE(result.rgba(), color.rgba());
    }

    void knownApplications_data() {
        QTest::addColumn<QString>("appId");
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("emailClient");
        QTest::newRow("Chrome") << "com.google.Chrome"
                                << "Google Chrome" << QString();
        QTest::newRow("Chrome in lower case") << "com.google.chrome"
                                              << "Google Chrome" << QString();
        QTest::newRow("Chromium") << "chromium"
                                  << "Chromium" << QString();
        QTest::newRow("Firefox ESR") << "firefox-esr"
                                     << "Firefox ESR" << QString();
        QTest::newRow("Thunderbird") << "thunderbird" << QString() << "Thunderbird";
        QTest::newRow("earlier Thunderbird id") << "org.mozilla.thunderbird" << QString() << "Thunderbird";
        QTest::newRow("Arc") << "company.thebrowser.Browser"
                             << "Arc" << QString();
        QTest::newRow("Safari Technology Preview") << "com.apple.SafariTechnologyPreview"
                                                   << "Safari Technology Preview" << QString();
        QTest::newRow("Firefox") << "org.mozilla.firefox"
                                 << "Firefox" << QString();
        QTest::newRow("Spark setapp") << "com.readdle.smartemail-setapp" << QString() << "Spark";
        QTest::newRow("Spark Desktop") << "com.readdle.SparkDesktop.appstore" << QString() << "Spark Desktop";
        QTest::newRow("Mail") << "com.apple.mail" << QString() << "Mail";
        QTest::newRow("a terminal") << "org.gnome.Terminal" << QString() << QString();
        QTest::newRow("unknown") << "org.example.Unknown" << QString() << QString();
        QTest::newRow("empty") << "" << QString() << QString();
    }

    void knownApplications() {
        QFETCH(QString, appId);
        QFETCH(QString, browser);
        QFETCH(QString, emailClient);
        QCOMPARE(browserName(appId).value_or(QString()), browser);
        QCOMPARE(emailClientName(appId).value_or(QString()), emailClient);
    }

    void appVersion() {
        QCOMPARE(::appVersion(), QStringLiteral(PENDLOW_VERSION));
        QCOMPARE(::appVersion(""), QStringLiteral("1.0.0"));
        QCOMPARE(::appVersion(nullptr), QStringLiteral("1.0.0"));
        QCOMPARE(::appVersion("2.3.4"), QStringLiteral("2.3.4"));
    }

    void windowBackgroundFollowsThePalette() {
        const QPalette original = QApplication::palette();
        QCOMPARE(windowBackgroundColor(), original.color(QPalette::Window));
        QPalette dark = original;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x24));
        QApplication::setPalette(dark);
        QCOMPARE(windowBackgroundColor(), QColor(0x20, 0x20, 0x24));
        QApplication::setPalette(original);
    }
};

PENDLOW_TEST_MAIN(Formatting)
#include "tst_Formatting.moc"
