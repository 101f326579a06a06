// The day timeline's widgets over a real day-planning state: block geometry per column, the sync
// badges of planned blocks, hour labels, drops placed by y and kept within the day, drag snapping and
// its threshold, the duration editor, and the header's texts, banner and sync button.
#include "support/ClickUpSamples.h"
#include "support/DayPlanRig.h"
#include "support/DayPlanSamples.h"
#include "support/FakeClickUpAPI.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "services/clickup/APIError.h"
#include "services/dayplan/DayPlanningState.h"
#include "ui/dayplan/DayPlanningTimeline.h"
#include "ui/dayplan/DayTimelineGrid.h"
#include "ui/dayplan/DurationEditorDialog.h"
#include "ui/dayplan/TimelineHeader.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <memory>

namespace {
const QDate day(2025, 3, 10);
const QString team = QStringLiteral("9001");
} // namespace

class DayTimelineTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DayPlanRig<>> m_rig;
    // The rig's parts the tests use most.
    FakeClickUpAPI* m_clickUp = nullptr;
    DayPlanningState* m_state = nullptr;

    void seed(const QList<PlannedTimeEntry>& planned, const QList<TimeEntry>& clickUp = {}) {
        m_rig->seed(at(day, "12:00"), planned, clickUp, team);
    }

private Q_SLOTS:
    void initTestCase() { useBerlinTime(); }

    void init() {
        m_rig = std::make_unique<DayPlanRig<>>(at(day, "08:30"));
        m_rig->open(at(day, "08:30"));
        m_clickUp = &m_rig->fakeClickUp;
        m_state = m_rig->state.get();
    }

    void cleanup() { m_rig.reset(); }

    void placesBlocks() {
        seed({plannedEntry("A", at(day, "09:00"), at(day, "10:00")),
              plannedEntry("B", at(day, "09:30"), at(day, "09:45"))},
             {finishedEntry("c", at(day, "12:00"), 30), finishedEntry("short", at(day, "14:00"), 10)});
        DayTimelineGrid grid(*m_state);
        QCOMPARE(grid.yForTime(at(day, "07:00")), 10.0);
        QCOMPARE(grid.yForTime(at(day, "09:00")), 130.0);
        QCOMPARE(grid.minimumHeight(), 1040);
        const QList<DayTimelineGrid::Block> blocks = grid.blocks();
        QCOMPARE(blocks.size(), 4);
        QCOMPARE(blocks[0].rect, QRectF(58, 130, 99, 60));  // A, column 0 of 2
        QCOMPARE(blocks[1].rect, QRectF(159, 160, 99, 20)); // B, column 1 of 2, a quarter is 20 high
        QCOMPARE(blocks[2].rect, QRectF(58, 310, 200, 30)); // the ClickUp entry, alone
        QCOMPARE(blocks[3].rect.height(), 20.0);            // ten minutes still 20 high
        QVERIFY(blocks[2].color.alphaF() < 0.75);           // ClickUp entries are the translucent green
    }

    // Planned blocks carry a badge of their sync state, one look per state; ClickUp's own entries none.
    void drawsSyncBadges() {
        seed({plannedEntry("Local", at(day, "09:00"), at(day, "10:00")),
              plannedEntry("Synced", at(day, "10:00"), at(day, "11:00"), SyncStatus::synced, QString("ce-s")),
              plannedEntry("Modified", at(day, "11:00"), at(day, "12:00"), SyncStatus::modified,
                           QString("ce-m"))},
             {finishedEntry("logged", at(day, "13:00"), 60)});
        DayTimelineGrid grid(*m_state);
        grid.resize(400, grid.minimumHeight());
        const QImage image = grid.grab().toImage();
        const QList<DayTimelineGrid::Block> blocks = grid.blocks();
        QCOMPARE(blocks.size(), 4);
        QList<QImage> badges;
        for (const DayTimelineGrid::Block& block : blocks) {
            const QRect badge = DayTimelineGrid::badgeRect(block.rect, false).toAlignedRect();
            QVERIFY(block.rect.contains(badge));
            const QImage area = image.copy(badge);
            int light = 0;
            for (int y = 0; y < area.height(); ++y) {
                for (int x = 0; x < area.width(); ++x) {
                    const QColor pixel = area.pixelColor(x, y);
                    light += pixel.red() > 200 && pixel.green() > 200 && pixel.blue() > 200 ? 1 : 0;
                }
            }
            if (block.entry.isPlanned) {
                QVERIFY2(light >= 8, qPrintable(block.entry.taskName));
                badges.append(area);
            } else {
                QCOMPARE(light, 0);
            }
        }
        QCOMPARE(badges.size(), 3);
        // Compared by shape: a block's own colour behind each badge is taken out.
        auto shape = [](const QImage& area) {
            QImage mask(area.size(), QImage::Format_Mono);
            for (int y = 0; y < area.height(); ++y) {
                for (int x = 0; x < area.width(); ++x) {
                    const QColor pixel = area.pixelColor(x, y);
                    mask.setPixel(x, y, pixel.red() > 200 && pixel.green() > 200 && pixel.blue() > 200);
                }
            }
            return mask;
        };
        QVERIFY(shape(badges[0]) != shape(badges[1]));
        QVERIFY(shape(badges[1]) != shape(badges[2]));
        QVERIFY(shape(badges[0]) != shape(badges[2]));
    }

    // The grid's 17 hour labels stand 60 px apart: all of them fit.
    void labelsEveryHour() {
        DayTimelineGrid grid(*m_state);
        QCOMPARE(grid.hourLabelStep(), 1);
    }

    void dropsAtTheTimeUnderThePointer_data() {
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("duration");
        QTest::addColumn<QString>("range");
        QTest::newRow("above the first line") << 0.0 << 3600.0 << "[07:00 - 08:00]";
        QTest::newRow("at the first line") << 10.0 << 3600.0 << "[07:00 - 08:00]";
        QTest::newRow("09:30") << 10 + 2.5 * 60 << 3600.0 << "[09:30 - 10:30]";
        QTest::newRow("09:36 floors to 09:30") << 166.0 << 1800.0 << "[09:30 - 10:00]";
        QTest::newRow("below the last row stays in the day") << 1500.0 << 3600.0 << "[23:00 - 00:00]";
    }

    void dropsAtTheTimeUnderThePointer() {
        QFETCH(double, y);
        QFETCH(double, duration);
        QFETCH(QString, range);
        DayTimelineGrid grid(*m_state);
        QVERIFY(grid.dropTask(DraggableTask{"abc", "Site", "Acme", duration}, y));
        QCOMPARE(m_state->plannedEntries().size(), 1);
        QCOMPARE(m_state->plannedEntries().first().timeRangeText(), range);
        QCOMPARE(m_state->plannedEntries().first().startTime.date(), day);
    }

    void snapsDrags_data() {
        QTest::addColumn<double>("dy");
        QTest::addColumn<qint64>("shift");
        QTest::newRow("7.4 px stays") << 7.4 << qint64(0);
        QTest::newRow("7.5 px is a quarter") << 7.5 << qint64(900);
        QTest::newRow("-7.5 px is a quarter earlier") << -7.5 << qint64(-900);
        QTest::newRow("an hour") << 61.0 << qint64(3600);
    }

    void snapsDrags() {
        QFETCH(double, dy);
        QFETCH(qint64, shift);
        QCOMPARE(DayTimelineGrid::snappedShiftSeconds(dy), shift);
    }

    // A drag under the threshold moves nothing; one beyond it moves the block by whole quarters, and
    // a drag that snaps back to its place sends nothing.
    void dragsBlocks() {
        seed({plannedEntry("A", at(day, "09:00"), at(day, "10:00"), SyncStatus::synced, QString("ce-a"))});
        DayTimelineGrid grid(*m_state);
        grid.resize(400, 1040);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QPoint inside(100, 150);
        auto drag = [&](int dy) {
            QTest::mousePress(&grid, Qt::LeftButton, {}, inside);
            QTest::mouseMove(&grid, inside + QPoint(0, dy / 2));
            QTest::mouseMove(&grid, inside + QPoint(0, dy));
            QTest::mouseRelease(&grid, Qt::LeftButton, {}, inside + QPoint(0, dy));
        };
        drag(4);
        QCOMPARE(m_state->plannedEntries().first().syncStatus, SyncStatus::synced);
        drag(7);
        QCOMPARE(m_state->plannedEntries().first().syncStatus, SyncStatus::synced);
        drag(31);
        QCOMPARE(m_state->plannedEntries().first().timeRangeText(), QString("[09:30 - 10:30]"));
        QCOMPARE(m_state->plannedEntries().first().syncStatus, SyncStatus::modified);
        QVERIFY(m_clickUp->calls(FakeClickUpAPI::updateTimeEntryOp).isEmpty());
    }

    void editsDurations() {
        DurationEditorDialog fifty(50 * 60);
        QCOMPARE(fifty.hours(), 0);
        QCOMPARE(fifty.minutes(), 50);
        fifty.minutesField()->stepDown();
        QCOMPARE(fifty.minutes(), 35);

        DurationEditorDialog long13(13 * 3600);
        QCOMPARE(long13.hours(), 13);

        DurationEditorDialog editor(3600);
        QVERIFY(editor.saveButton()->isEnabled());
        editor.setDuration(0);
        QVERIFY(!editor.saveButton()->isEnabled());
        editor.presetButton("15m")->click();
        QCOMPARE(editor.totalSeconds(), 900.0);
        QVERIFY(editor.saveButton()->isEnabled());
        QVERIFY(!editor.isVisible() || editor.result() == 0);
        editor.presetButton("2h")->click();
        QCOMPARE(editor.hours(), 2);
        QCOMPARE(editor.minutes(), 0);
        editor.hoursField()->stepUp();
        QCOMPARE(editor.totalSeconds(), 3 * 3600.0);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTest::keyClick(&editor, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
    }

    void showsTheHeader() {
        TimelineHeader header(*m_state);
        header.show();
        QCOMPARE(header.dateLabel()->text(), QLocale().toString(day, "dddd, MMM d"));
        QCOMPARE(header.plannedCountLabel()->text(), QString("0 planned"));
        QCOMPARE(header.plannedTotalLabel()->text(), QString("0h 00m"));
        QVERIFY(header.loggedTotalLabel()->isHidden());
        QVERIFY(header.syncButton()->isHidden());
        QVERIFY(header.banner()->isHidden());

        seed({plannedEntry("A", at(day, "09:00"), at(day, "10:30")),
              plannedEntry("B", at(day, "11:00"), at(day, "11:15"), SyncStatus::deleted, QString("ce-b")),
              plannedEntry("C", at(day, "12:00"), at(day, "12:30"), SyncStatus::synced, QString("ce-c"))},
             {finishedEntry("x", at(day, "07:00"), 45)});
        // B, deleted, is not on the timeline and so not in the count or the total.
        QCOMPARE(header.plannedCountLabel()->text(), QString("2 planned"));
        QCOMPARE(header.plannedTotalLabel()->text(), QString("2h 00m"));
        QVERIFY(!header.loggedTotalLabel()->isHidden());
        QCOMPARE(header.loggedTotalLabel()->text(), QString("0h 45m"));
        QVERIFY(!header.syncButton()->isHidden());
        QCOMPARE(header.syncButton()->text(), QString("Sync (2)"));

        // A refused drop shows in the banner; a stored error takes its place with "Sync failed: ".
        QVERIFY(!m_state->addDroppedTask(DraggableTask{"a", "A2", "", 3600}, at(day, "09:30")));
        QVERIFY(!header.banner()->isHidden());
        QCOMPARE(header.bannerText()->text(),
                 QString("Cannot add dropped task: overlaps with existing entry"));
        m_state->setError(APIError::httpError(500, QString("boom")));
        QVERIFY(header.bannerText()->text().startsWith("Sync failed: "));
        header.dismissButton()->click();
        QVERIFY(header.banner()->isHidden());

        header.nextButton()->click();
        QTRY_COMPARE(m_state->selectedDate(), day.addDays(1).startOfDay());
        QCOMPARE(header.dateLabel()->text(), QLocale().toString(day.addDays(1), "dddd, MMM d"));
        header.todayButton()->click();
        QTRY_COMPARE(m_state->selectedDate(), day.startOfDay());
    }

    // The header hands no team to the sync: the state sends to the team whose entries it loaded last,
    // and without one sends nothing.
    void syncsForTheLoadedTeam() {
        m_rig->store.saveEntries({plannedEntry("A", at(day, "09:00"), at(day, "10:00"))}, at(day, "12:00"));
        m_state->loadPlannedEntries();
        TimelineHeader header(*m_state);
        header.syncButton()->click();
        QTRY_VERIFY(!m_state->isSyncing());
        QVERIFY(m_clickUp->calls().isEmpty());

        const QString otherTeam = onHeap(u"4242");
        awaitTask(m_state->loadExistingEntries(otherTeam));
        m_clickUp->clearCalls();
        header.syncButton()->click();
        QTRY_COMPARE(m_state->entriesNeedingSync(), 0);
        QTRY_VERIFY(!m_state->isSyncing());
        QCOMPARE(m_clickUp->operations(),
                 (QStringList{FakeClickUpAPI::getTimeEntriesOp, FakeClickUpAPI::createTimeEntryOp,
                              FakeClickUpAPI::getTimeEntriesOp}));
        for (const FakeClickUpAPI::Call& call : m_clickUp->calls()) {
            QCOMPARE(call.teamId, otherTeam);
        }
    }

    void hostsHeaderAndGrid() {
        DayPlanningTimeline timeline(*m_state);
        timeline.resize(700, 600);
        timeline.show();
        QVERIFY(QTest::qWaitForWindowExposed(&timeline));
        QVERIFY(timeline.grid()->height() >= 1040);
    }
};

PENDLOW_TEST_MAIN(DayTimelineTest)
#include "tst_DayTimeline.moc"
