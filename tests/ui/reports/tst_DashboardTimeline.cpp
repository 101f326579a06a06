// The dashboard's timeline: the geometry of its rows (track, blocks, least width, hour marks and the
// labels thinned where they do not fit, height with and without ClickUp entries, a span that is not
// positive), the range selection by dragging
// (threshold, direction, clamping, the 300-s minimum, the drag to the track's right end) and hover
// and tool tips keyed by block index.
#include "support/FakeClock.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "services/usage/DailyUsageSummary.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/reports/DashboardText.h"
#include "ui/reports/TimelineSectionWithSelection.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QToolTip>

using namespace usagesamples;

namespace {
// 676 wide: the track runs from x 58 over 600 px; the day 09:00-14:00 gives 30 s a pixel.
constexpr int sectionWidth = 676;

DailyUsageSummary sampleDay() {
    return DailyUsageSummary{
        day(),
        {session(QStringLiteral("com.google.Chrome"), QStringLiteral("Chrome"), at("09:00"), at("10:00")),
         session(QStringLiteral("com.microsoft.VSCode"), QStringLiteral("Code"), at("10:30"), at("11:45")),
         session(QStringLiteral("org.gnome.Terminal"), QStringLiteral("Terminal"), at("13:10"), at("13:11"))},
        std::nullopt,
        std::nullopt};
}

TimeEntry entry(const QString& name, const QString& from, const QString& to) {
    TimeEntry result;
    result.id = QUuid::createUuid().toString();
    result.taskName = name;
    result.startTime = at(from);
    result.endTime = at(to);
    result.duration = double(result.startTime.msecsTo(result.endTime));
    return result;
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPointF& position, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses at `from`, moves in four steps and releases at `to`.
void drag(QWidget* widget, const QPointF& from, const QPointF& to) {
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step) {
        sendMouse(widget, QEvent::MouseMove, from + (to - from) * step / 4.0, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

struct Section {
    explicit Section(const DailyUsageSummary& summary, const QList<TimeEntry>& entries = {},
                     std::optional<DailyUsageSummary> filtered = std::nullopt) {
        widget.resize(sectionWidth, 84);
        widget.setContent(summary, filtered.value_or(summary), entries, !filtered);
        widget.show();
    }
    TimelineSectionWithSelection widget;
};
} // namespace

class DashboardTimelineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void rowsShareOneTrack() {
        Section section(sampleDay(), {entry(QStringLiteral("Review"), "09:30", "10:00")});
        const TimelineSectionWithSelection& timeline = section.widget;
        QCOMPARE(timeline.height(), 84);
        QCOMPARE(timeline.trackX(), 58.0);
        QCOMPARE(timeline.trackWidth(), double(sectionWidth - 76));
        QCOMPARE(timeline.spanStart(), at("09:00"));
        QCOMPARE(timeline.spanSeconds(), 5 * 3600.0);
        // Hour marks from the first to the last full hour, both included.
        QCOMPARE(timeline.hourMarkers().size(), 6);
        QCOMPARE(timeline.markerX(0), 58.0);
        QCOMPARE(timeline.markerX(5), 658.0);
        QCOMPARE(timeline.blocks().size(), 3);
        QCOMPARE(timeline.blockRect(0).x(), 58.0);
        QCOMPARE(timeline.blockRect(0).width(), 120.0);
        QCOMPARE(timeline.blockRect(1).x(), 58.0 + 180);
        QCOMPARE(timeline.blockRect(1).width(), 150.0);
        // A one-minute session maps to 2 px and is drawn 4 wide.
        QCOMPARE(timeline.blockRect(2).width(), 4.0);
        // The ClickUp row lies below the application row on the same track.
        QCOMPARE(timeline.entryRect(0).x(), 58.0 + 60);
        QCOMPARE(timeline.entryRect(0).width(), 60.0);
        QVERIFY(timeline.entryRect(0).top() >= timeline.appRail().bottom());
        QCOMPARE(timeline.clickUpRail().left(), timeline.appRail().left());
        QCOMPARE(timeline.clickUpRail().width(), timeline.appRail().width());
        QVERIFY(timeline.appRail().top() >= 20);
        QVERIFY(timeline.clickUpRail().bottom() <= 84);
    }

    void withoutEntriesTheSectionIsLower() {
        Section section(sampleDay());
        QCOMPARE(section.widget.height(), 56);
        QVERIFY(section.widget.clickUpRail().isEmpty());
        QVERIFY(section.widget.appRail().top() >= 20);
        QVERIFY(section.widget.appRail().bottom() <= 56);
    }

    void aDayWithoutSessionsSpansItsCalendarDay() {
        FakeClock clock(at("11:20"));
        Section section(DailyUsageSummary{day(), {}, std::nullopt, std::nullopt});
        QCOMPARE(section.widget.spanStart(), day().startOfDay());
        QCOMPARE(section.widget.spanSeconds(), 86400.0);
        QCOMPARE(section.widget.hourMarkers().size(), 25);
        QCOMPARE(dashboardtext::clockText(section.widget.hourMarkers().last()), QStringLiteral("00:00"));
        QVERIFY(section.widget.blocks().isEmpty());
    }

    // An empty day's 25 hour labels do not fit a narrow scale: every n-th is drawn (whole steps of
    // the clock, midnight always among them) and no two drawn labels overlap; a wide scale keeps all.
    void thinsHourLabelsThatDoNotFit_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("all");
        QTest::newRow("narrow") << sectionWidth << false;
        QTest::newRow("very narrow") << 260 << false;
        QTest::newRow("wide") << 1900 << true;
    }

    void thinsHourLabelsThatDoNotFit() {
        QFETCH(int, width);
        QFETCH(bool, all);
        Section section(DailyUsageSummary{day(), {}, std::nullopt, std::nullopt});
        section.widget.resize(width, section.widget.height());
        const TimelineSectionWithSelection& timeline = section.widget;
        const QList<qsizetype> shown = timeline.shownHourLabels();
        QCOMPARE(shown.size() == 25, all);
        QVERIFY(shown.size() >= 2);
        QCOMPARE(shown.first(), 0);
        QCOMPARE(shown.last(), 24);
        const QFontMetricsF metrics(PopoverStyle::font(9));
        const double labelWidth = metrics.horizontalAdvance(QStringLiteral("00:00")) + 2;
        const qsizetype step = shown[1] - shown[0];
        for (qsizetype i = 1; i < shown.size(); ++i) {
            QCOMPARE(shown[i] - shown[i - 1], step);
            QVERIFY2(timeline.markerX(shown[i]) - timeline.markerX(shown[i - 1]) >= labelWidth,
                     qPrintable(QString("labels %1 and %2 overlap").arg(shown[i - 1]).arg(shown[i])));
        }
    }

    // A filter whose end lies in the hour before its start leaves the rows no span: blocks and
    // entries alike lie at the track's start at the least width, and the scale has no marks.
    void aSpanThatIsNotPositiveDrawsEverythingAtTheTrackStart() {
        const DailyUsageSummary summary = sampleDay();
        const DailyUsageSummary filtered = summary.withTimeFilter(at("11:10"), at("10:40"));
        Section section(summary, {entry(QStringLiteral("Review"), "10:30", "11:00")}, filtered);
        const TimelineSectionWithSelection& timeline = section.widget;
        QCOMPARE(timeline.spanSeconds(), 0.0);
        QVERIFY(timeline.hourMarkers().isEmpty());
        QVERIFY(!timeline.blocks().isEmpty());
        for (qsizetype i = 0; i < timeline.blocks().size(); ++i) {
            QCOMPARE(timeline.blockRect(i),
                     QRectF(58, timeline.appRail().top(), 4, timeline.appRail().height()));
        }
        QCOMPARE(timeline.entryRect(0),
                 QRectF(58, timeline.clickUpRail().top(), 4, timeline.clickUpRail().height()));
        QVERIFY(!section.widget.grab().isNull()); // and it paints
    }

    void filteredRowsSpanTheRangeRoundedOutToHours() {
        const DailyUsageSummary summary = sampleDay();
        Section section(summary, {}, summary.withTimeFilter(at("10:40"), at("11:05")));
        QCOMPARE(section.widget.spanStart(), at("10:00"));
        QCOMPARE(section.widget.spanSeconds(), 2 * 3600.0);
        QVERIFY(!section.widget.isSelectable());
        // No new selection while a range is set.
        QSignalSpy selected(&section.widget, &TimelineSectionWithSelection::rangeSelected);
        drag(&section.widget, QPointF(100, 40), QPointF(400, 40));
        QCOMPARE(selected.size(), 0);
        QVERIFY(!section.widget.isDragging());
    }

    void selection_data() {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QString>("start"); // empty: no selection
        QTest::addColumn<QString>("end");
        QTest::newRow("left to right") << QPointF(158, 40) << QPointF(258, 40) << "09:50:00"
                                       << "10:40:00";
        QTest::newRow("right to left") << QPointF(258, 40) << QPointF(158, 40) << "09:50:00"
                                       << "10:40:00";
        QTest::newRow("9 px: below the threshold") << QPointF(158, 40) << QPointF(167, 40) << ""
                                                   << "";
        QTest::newRow("exactly 300 s") << QPointF(158, 40) << QPointF(168, 40) << "09:50:00"
                                       << "09:55:00";
        QTest::newRow("a steep drag of 150 s") << QPointF(158, 10) << QPointF(163, 50) << ""
                                               << "";
        QTest::newRow("from the label column") << QPointF(20, 40) << QPointF(258, 40) << "09:00:00"
                                               << "10:40:00";
        QTest::newRow("past the right end") << QPointF(558, 40) << QPointF(670, 40) << "13:10:00"
                                            << "14:00:00";
        QTest::newRow("to the track's right end") << QPointF(558, 40) << QPointF(658, 40) << "13:10:00"
                                                  << "14:00:00";
        QTest::newRow("both ends left of the track") << QPointF(2, 40) << QPointF(40, 40) << ""
                                                     << "";
    }

    void selection() {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QString, start);
        QFETCH(QString, end);
        Section section(sampleDay());
        QSignalSpy selected(&section.widget, &TimelineSectionWithSelection::rangeSelected);
        drag(&section.widget, from, to);
        QVERIFY(!section.widget.isDragging());
        QVERIFY(section.widget.selectionBand().isEmpty());
        if (start.isEmpty()) {
            QCOMPARE(selected.size(), 0);
            return;
        }
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected[0][0].toDateTime(), at(start));
        QCOMPARE(selected[0][1].toDateTime(), at(end));
    }

    void theBandFollowsTheDrag() {
        Section section(sampleDay());
        TimelineSectionWithSelection* timeline = &section.widget;
        sendMouse(timeline, QEvent::MouseButtonPress, QPointF(300, 30), Qt::LeftButton, Qt::LeftButton);
        sendMouse(timeline, QEvent::MouseMove, QPointF(295, 30), Qt::NoButton, Qt::LeftButton);
        QVERIFY(!timeline->isDragging()); // 5 px: not yet
        sendMouse(timeline, QEvent::MouseMove, QPointF(200, 30), Qt::NoButton, Qt::LeftButton);
        QVERIFY(timeline->isDragging());
        QCOMPARE(timeline->selectionBand(), QRectF(200, 0, 100, timeline->height()));
        sendMouse(timeline, QEvent::MouseMove, QPointF(299, 30), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(timeline->selectionBand().width(), 2.0); // never thinner than 2
        QVERIFY(!timeline->grab().isNull());
        sendMouse(timeline, QEvent::MouseButtonRelease, QPointF(299, 30), Qt::LeftButton, Qt::NoButton);
        QVERIFY(!timeline->isDragging());
    }

    void hoverAndToolTipsAreKeyedByBlockIndex() {
        Section section(sampleDay(), {entry(QStringLiteral("Sprint <b>review</b>"), "12:00", "12:30")});
        TimelineSectionWithSelection* timeline = &section.widget;
        QVERIFY(QTest::qWaitForWindowExposed(timeline));
        QSignalSpy hovered(timeline, &TimelineSectionWithSelection::hoveredBlockChanged);
        const QPointF overCode = timeline->blockRect(1).center();
        sendMouse(timeline, QEvent::MouseMove, overCode, Qt::NoButton, Qt::NoButton);
        QCOMPARE(timeline->hoveredBlock(), 1);
        QCOMPARE(timeline->blockAt(overCode), 1);
        sendMouse(timeline, QEvent::MouseMove, QPointF(timeline->blockRect(1).right() + 20, overCode.y()),
                  Qt::NoButton, Qt::NoButton);
        QCOMPARE(timeline->hoveredBlock(), -1);
        QVERIFY(hovered.size() >= 2);
        QCOMPARE(hovered.at(hovered.size() - 2).at(0).value<qsizetype>(), 1);
        QCOMPARE(hovered.last().at(0).value<qsizetype>(), -1);

        QHelpEvent overBlock(QEvent::ToolTip, overCode.toPoint(), timeline->mapToGlobal(overCode.toPoint()));
        QApplication::sendEvent(timeline, &overBlock);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("Code\n10:30 - 11:45"));
        // A task name is shown as it is, never read as markup.
        const QPoint overEntry = timeline->entryRect(0).center().toPoint();
        QHelpEvent overClickUp(QEvent::ToolTip, overEntry, timeline->mapToGlobal(overEntry));
        QApplication::sendEvent(timeline, &overClickUp);
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("&lt;b&gt;review")));
        QVERIFY(QToolTip::text().contains(QStringLiteral("[12:00 - 12:30]")));
        QToolTip::hideText();
    }

    void clickUpNames_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("cut");
        QTest::newRow("50: whole") << 50 << 50 << false;
        QTest::newRow("51: cut") << 51 << 50 << true;
        QTest::newRow("short") << 12 << 12 << false;
    }

    void clickUpNames() {
        QFETCH(int, length);
        QFETCH(int, shown);
        QFETCH(bool, cut);
        const QString name = QString(length, QLatin1Char('n'));
        Section section(sampleDay(), {entry(name, "09:00", "13:00")});
        const QString drawn = section.widget.entryName(0);
        QCOMPARE(drawn.size(), shown);
        QCOMPARE(drawn.endsWith(QStringLiteral("...")), cut);
        if (cut) {
            QCOMPARE(drawn.left(47), name.left(47));
        }
    }
};

PENDLOW_TEST_MAIN(DashboardTimelineTest)
#include "tst_DashboardTimeline.moc"
