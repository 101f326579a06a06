// The dashboard's totals banner and breakdown cards: texts of an empty and a full day, "(filtered)",
// the eight-row limit of the Applications card with its bars, icons and unfolding contexts, context
// trimming, path names and icons, lists shown whole, and the order of the cards.
#include "support/FakeClock.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "services/usage/DailyUsageSummary.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/menubar/UsageShareBar.h"
#include "ui/reports/ApplicationsSection.h"
#include "ui/reports/BreakdownGrid.h"
#include "ui/reports/DashboardText.h"
#include "ui/reports/EmptyBreakdownView.h"
#include "ui/reports/ExpandableAppRow.h"
#include "ui/reports/KeywordsSection.h"
#include "ui/reports/PathsSection.h"
#include "ui/reports/SummaryBanner.h"
#include "ui/reports/WebsitesSection.h"

#include <QLabel>

using namespace usagesamples;

namespace {
DailyUsageSummary summaryOf(QList<AppUsageSession> sessions) {
    return DailyUsageSummary{day(), std::move(sessions), std::nullopt, std::nullopt};
}

// A browser session with captures of the given addresses.
AppUsageSession browsing(const QString& from, const QString& to, const QStringList& addresses) {
    AppUsageSession result =
        session(QStringLiteral("com.google.Chrome"), QStringLiteral("Chrome"), at(from), at(to));
    for (const QString& address : addresses) {
        result.addCapture(capture(QStringLiteral("Page"), at(from), address));
    }
    return result;
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
}

QStringList rowTexts(const BreakdownCard& card) {
    QStringList texts;
    if (UsageRowList* list = card.rowList()) {
        for (qsizetype i = 0; i < list->rowCount(); ++i) {
            texts << list->row(i).text;
        }
    }
    return texts;
}
} // namespace

class DashboardCardsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void anEmptyDay() {
        const DailyUsageSummary empty = summaryOf({});
        SummaryBanner banner(empty);
        QCOMPARE(banner.text(), QStringLiteral("All Activities: <1m of App Usage"));
        QCOMPARE(banner.appCountLabel()->text(), QStringLiteral("0 apps"));
        QCOMPARE(banner.sessionCountLabel()->text(), QStringLiteral("0 sessions"));
        QVERIFY(banner.filteredLabel()->isHidden());

        BreakdownGrid grid(empty);
        const QList<QPair<BreakdownCard*, QString>> cards{
            {grid.websites(), QStringLiteral("No website data")},
            {grid.applications(), QStringLiteral("No app data")},
            {grid.paths(), QStringLiteral("No path data")},
            {grid.keywords(), QStringLiteral("No keyword data")}};
        for (const auto& [card, message] : cards) {
            QVERIFY2(card->emptyView(), qPrintable(card->title()));
            QCOMPARE(card->emptyView()->message(), message);
            QVERIFY(!card->rowList());
        }
    }

    void aFullDay() {
        AppUsageSession code =
            session(QStringLiteral("com.microsoft.VSCode"), QStringLiteral("Code"), at("10:00"), at("12:00"));
        code.addCapture(capture(QStringLiteral("main.ts - pendlow - Visual Studio Code")));
        code.addCapture(capture(QStringLiteral("main.ts - pendlow - Visual Studio Code")));
        const DailyUsageSummary summary =
            summaryOf({browsing("09:00", "09:05",
                                {QStringLiteral("https://docs.qt.io/qt-6/qwidget.html"),
                                 QStringLiteral("https://www.example.org/a")}),
                       code});
        SummaryBanner banner(summary);
        QCOMPARE(banner.text(), QStringLiteral("All Activities: 2h 5m of App Usage"));
        QCOMPARE(banner.appCountLabel()->text(), QStringLiteral("2 apps"));
        QCOMPARE(banner.sessionCountLabel()->text(), QStringLiteral("2 sessions"));

        BreakdownGrid grid(summary);
        QCOMPARE(rowTexts(*grid.websites()),
                 QStringList({QStringLiteral("docs.qt.io"), QStringLiteral("www.example.org")}));
        QCOMPARE(grid.websites()->rowList()->row(0).duration, QStringLiteral("2m"));
        QCOMPARE(grid.applications()->rows().size(), 2);
        QCOMPARE(grid.applications()->rows()[0]->nameLabel()->text(), QStringLiteral("Code"));
        QCOMPARE(grid.applications()->rows()[0]->durationLabel()->text(), QStringLiteral("2h 0m"));
        QVERIFY(grid.paths()->rowList());
        QVERIFY(rowTexts(*grid.keywords()).contains(QStringLiteral("pendlow")));

        // Cards fill the grid row by row: Websites, Applications; Paths, Keywords.
        grid.resize(800, 600);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.websites()->title(), QStringLiteral("Websites"));
        QCOMPARE(grid.applications()->title(), QStringLiteral("Applications"));
        QCOMPARE(grid.paths()->title(), QStringLiteral("Paths"));
        QCOMPARE(grid.keywords()->title(), QStringLiteral("Keywords"));
        QCOMPARE(grid.websites()->y(), grid.applications()->y());
        QVERIFY(grid.websites()->x() < grid.applications()->x());
        QCOMPARE(grid.paths()->x(), grid.websites()->x());
        QCOMPARE(grid.keywords()->x(), grid.applications()->x());
        QVERIFY(grid.paths()->y() > grid.websites()->y() + grid.websites()->height() - 1);
    }

    // Counts take no singular form; a filter is marked even when it leaves nothing.
    void countsAndTheFilterMark() {
        const DailyUsageSummary one =
            summaryOf({session(QStringLiteral("a"), QStringLiteral("A"), at("09:00"), at("09:00:30"))});
        SummaryBanner banner(one);
        QCOMPARE(banner.appCountLabel()->text(), QStringLiteral("1 apps"));
        QCOMPARE(banner.sessionCountLabel()->text(), QStringLiteral("1 sessions"));
        banner.setSummary(one.withTimeFilter(at("15:00"), at("16:00")));
        QCOMPARE(banner.text(), QStringLiteral("All Activities: <1m of App Usage (filtered)"));
        QCOMPARE(banner.sessionCountLabel()->text(), QStringLiteral("0 sessions"));
    }

    void theApplicationsCardListsTheEightLongest() {
        QList<AppUsageSession> sessions;
        for (int i = 0; i < 9; ++i) {
            // App i runs (i + 1) minutes; app 0 is the shortest and is left out.
            sessions << session(QStringLiteral("app%1").arg(i), QStringLiteral("App %1").arg(i),
                                at("08:00").addSecs(i * 3600), at("08:00").addSecs(i * 3600 + (i + 1) * 60));
        }
        const DailyUsageSummary summary = summaryOf(sessions);
        ApplicationsSection card(summary.appBreakdown(), summary);
        QCOMPARE(card.rows().size(), 8);
        QStringList names;
        for (const ExpandableAppRow* row : card.rows()) {
            names << row->nameLabel()->text();
        }
        QCOMPARE(names,
                 QStringList({"App 8", "App 7", "App 6", "App 5", "App 4", "App 3", "App 2", "App 1"}));
    }

    void barsAndIcons_data() {
        QTest::addColumn<double>("percentage");
        QTest::addColumn<int>("fill");
        QTest::newRow("a quarter") << 25.0 << 20;
        QTest::newRow("all") << 100.0 << 80;
        QTest::newRow("beyond all") << 150.0 << 80;
        QTest::newRow("none") << 0.0 << 0;
    }

    void barsAndIcons() {
        QFETCH(double, percentage);
        QFETCH(int, fill);
        const AppUsageBreakdown app{QStringLiteral("org.example.NotInstalled"), QStringLiteral("Nowhere"),
                                    600, percentage};
        ExpandableAppRow row(app, summaryOf({}));
        QCOMPARE(row.shareBar()->width(), 80);
        QCOMPARE(row.shareBar()->fillWidth(), fill);
        // Not installed: no icon, the name follows the bar; no contexts: no chevron.
        QVERIFY(!row.iconLabel());
        QVERIFY(!row.chevron());
        row.resize(400, 30);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row));
        QCOMPARE(row.nameLabel()->x(), row.shareBar()->geometry().right() + 1 + 8);
        click(&row);
        QVERIFY(row.isExpanded());
        QVERIFY(!row.contextList());
    }

    void aRowUnfoldsItsContexts() {
        const QString longAddress =
            QStringLiteral("https://www.example.com/") + QString(60, QLatin1Char('x'));
        const DailyUsageSummary summary =
            summaryOf({browsing("09:00", "10:00",
                                {longAddress, longAddress, QStringLiteral("https://docs.qt.io/"),
                                 QStringLiteral("http://intranet/")})});
        ApplicationsSection card(summary.appBreakdown(), summary);
        card.resize(500, 200);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        ExpandableAppRow* row = card.rows().first();
        QCOMPARE(row->contexts().size(), 3);
        QCOMPARE(row->chevron()->property("symbolName").toString(), QStringLiteral("pan-end-symbolic"));
        click(row);
        QVERIFY(row->isExpanded());
        QCOMPARE(row->chevron()->property("symbolName").toString(), QStringLiteral("pan-down-symbolic"));
        QTRY_VERIFY(row->contextList() && row->contextList()->isVisible());
        const UsageRowList* list = row->contextList();
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->row(0).text,
                 QStringLiteral("example.com/") + QString(45, QLatin1Char('x')) + QStringLiteral("..."));
        QCOMPARE(list->row(0).toolTip, longAddress);
        QCOMPARE(list->row(0).duration, QStringLiteral("30m"));
        QCOMPARE(list->row(2).text, QStringLiteral("intranet/"));
        click(row);
        QVERIFY(!row->isExpanded());
        QVERIFY(!row->contextList()->isVisible());
    }

    void contextTexts_data() {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("shown");
        QTest::newRow("scheme and www") << "https://www.example.com/page"
                                        << "example.com/page";
        QTest::newRow("anywhere in the text") << "see http://x.org and www.y.com"
                                              << "see x.org and y.com";
        QTest::newRow("60 after stripping")
            << "https://" + QString(60, QLatin1Char('a')) << QString(60, QLatin1Char('a'));
        QTest::newRow("61 after stripping")
            << QString(61, QLatin1Char('a')) << QString(57, QLatin1Char('a')) + "...";
        QTest::newRow("plain title") << "Inbox - Mail"
                                     << "Inbox - Mail";
    }

    void contextTexts() {
        QFETCH(QString, context);
        QFETCH(QString, shown);
        QCOMPARE(dashboardtext::contextDisplayText(context), shown);
    }

    void pathRows_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("directory");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon");
        QTest::newRow("home file, tsx") << "~/src/app/Main.tsx" << false << "Main.tsx"
                                        << "text-x-script";
        QTest::newRow("project name") << "pendlow" << false << "pendlow"
                                      << "x-office-document";
        QTest::newRow("directory with an extension") << "/home/me/photos.png" << true << "photos.png"
                                                     << "folder";
        QTest::newRow("upper-case MD") << "/home/me/README.MD" << false << "README.MD"
                                       << "text-x-generic";
        QTest::newRow("swift") << "Sources/App.swift" << false << "Sources/App.swift"
                               << "text-x-swift";
        QTest::newRow("python") << "/srv/tool.py" << false << "tool.py"
                                << "text-x-python";
        QTest::newRow("yaml") << "~/ci.yml" << false << "ci.yml"
                              << "text-x-config";
        QTest::newRow("jpeg") << "~/a.JPEG" << false << "a.JPEG"
                              << "image-x-generic";
        QTest::newRow("dot in a folder name only") << "/home/me.d/Makefile" << false << "Makefile"
                                                   << "x-office-document";
    }

    void pathRows() {
        QFETCH(QString, path);
        QFETCH(bool, directory);
        QFETCH(QString, name);
        QFETCH(QString, icon);
        PathsSection card({PathUsage{QUuid::createUuid(), path, 3725, directory}});
        QVERIFY(card.rowList());
        const UsageRowList::Row& row = card.rowList()->row(0);
        QCOMPARE(row.text, name);
        QCOMPARE(row.iconName, icon);
        QCOMPARE(row.toolTip, path);
        QCOMPARE(row.duration, QStringLiteral("1h 2m"));
    }

    // Websites and keywords are never cut: the card grows with its list.
    void longListsAreShownWhole() {
        QList<WebsiteUsage> sites;
        QList<KeywordUsage> words;
        for (int i = 0; i < 40; ++i) {
            sites << WebsiteUsage{QUuid::createUuid(), QStringLiteral("site%1.example").arg(i), 4000.0 - i};
            words << KeywordUsage{QUuid::createUuid(), QStringLiteral("word%1").arg(i), 4000.0 - i, 3};
        }
        WebsitesSection websites(sites);
        KeywordsSection keywords(words);
        QCOMPARE(websites.rowList()->rowCount(), 40);
        QCOMPARE(keywords.rowList()->rowCount(), 40);
        QCOMPARE(keywords.rowList()->row(39).text, QStringLiteral("word39"));
        QVERIFY(websites.rowList()->height() >= 40 * 12);
        QVERIFY(websites.sizeHint().height() > websites.rowList()->height());
        // Rows are found where they are drawn.
        websites.resize(400, websites.sizeHint().height());
        const UsageRowList* list = websites.rowList();
        QCOMPARE(list->rowAt(list->rowRect(17).center()), 17);
    }
};

PENDLOW_TEST_MAIN(DashboardCardsTest)
#include "tst_DashboardCards.moc"
