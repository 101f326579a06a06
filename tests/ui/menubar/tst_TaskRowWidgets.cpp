// The pieces every task row shares: the status dot, the context menu (its entries, what each does,
// what a row without a task may not do), the right click that opens it, the hover highlight around
// it, and truncation by user-perceived characters.
#include "support/AppStateFixture.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "core/CharacterTruncation.h"
#include "core/UserDefaultsService.h"
#include "platform/PopupBrowserService.h"
#include "services/clickup/AvatarImageCache.h"
#include "services/clickup/ClickUpAssignee.h"
#include "services/clickup/TaskNameCleaner.h"
#include "support/TestSettings.h"
#include "ui/alerts/ActiveTimerToastView.h"
#include "ui/clickup/MenuBarAssigneeIcon.h"
#include "ui/clickup/StatusBadge.h"
#include "ui/kit/RowStyle.h"
#include "ui/kit/TaskContextMenu.h"
#include "ui/menubar/ClickUpSearchResultRow.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PlanningTaskRow.h"
#include "ui/menubar/TimeEntryGroupRow.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
const TaskContextMenu::PageOpener openNowhere = [](const QUrl&, const QString&) {};
const QUrl taskUrl(QStringLiteral("https://app.clickup.com/t/86abc"));

QStringList entryTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        texts << (action->isSeparator() ? QStringLiteral("--") : action->text());
    }
    return texts;
}

// The text a tool tip shows, read the way QToolTip reads it: as HTML whenever it looks like some.
QString shownToolTip(const QString& toolTip) {
    if (!Qt::mightBeRichText(toolTip)) {
        return toolTip;
    }
    QTextDocument document;
    document.setHtml(toolTip);
    return document.toPlainText();
}

// The tool tips of the widget and its children that are not empty.
QStringList shownToolTips(const QWidget& widget) {
    QStringList tips;
    QList<const QWidget*> widgets{&widget};
    for (const QWidget* child : widget.findChildren<QWidget*>()) {
        widgets.append(child);
    }
    for (const QWidget* each : widgets) {
        if (!each->toolTip().isEmpty()) {
            tips.append(shownToolTip(each->toolTip()));
        }
    }
    return tips;
}
} // namespace

class TaskRowWidgetsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void statusBadge_data() {
        QTest::addColumn<TaskStatus>("status");
        QTest::addColumn<QString>("help");
        QTest::addColumn<QString>("colour");
        QTest::newRow("in progress") << TaskStatus::inProgress << "In Progress"
                                     << "green";
        QTest::newRow("in review") << TaskStatus::inReview << "In Review"
                                   << "cyan";
        QTest::newRow("code review") << TaskStatus::codeReview << "Code Review"
                                     << "yellow";
        QTest::newRow("needs quote") << TaskStatus::needsQuote << "Needs Quote"
                                     << "purple";
        QTest::newRow("needs clarification") << TaskStatus::needsClarification << "Needs Clarification"
                                             << "purple";
        QTest::newRow("other") << TaskStatus::other << "Other"
                               << "gray";
    }

    void statusBadge() {
        QFETCH(TaskStatus, status);
        QFETCH(QString, help);
        QFETCH(QString, colour);
        StatusBadge badge(status);
        QCOMPARE(badge.toolTip(), help);
        QCOMPARE(badge.size(), QSize(8, 8));

        const QPalette palette = badge.palette();
        const QHash<QString, QColor> named{{"green", RowStyle::green(palette)},
                                           {"cyan", RowStyle::cyan(palette)},
                                           {"yellow", RowStyle::yellow(palette)},
                                           {"purple", RowStyle::purple(palette)},
                                           {"gray", RowStyle::gray(palette)}};
        QCOMPARE(StatusBadge::color(status, palette), named.value(colour));
        // The dot is painted in that colour.
        const QImage image = badge.grab().toImage();
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2).rgb(), named.value(colour).rgb());
    }

    void menuEntriesAndWhatTheyDo() {
        int starts = 0;
        TaskContextMenu menu(
            QStringLiteral("86abc"), taskUrl, [&starts] { ++starts; }, openNowhere);
        QCOMPARE(entryTexts(menu),
                 (QStringList{"Open in ClickUp", "--", "Start Timer", "--", "Copy Task ID"}));
        for (QAction* action : {menu.openAction(), menu.startTimerAction(), menu.copyTaskIdAction()}) {
            QVERIFY(action->isEnabled());
            QVERIFY(!action->icon().isNull());
        }

        menu.startTimerAction()->trigger();
        QCOMPARE(starts, 1);

        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        menu.copyTaskIdAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("86abc"));
    }

    void openShowsTheTaskInTheBrowserWindow() {
        // A stand-in browser window that writes down what it was asked to show.
        const QString record = m_dir.filePath(QStringLiteral("browser-arguments"));
        const QString helper = m_dir.filePath(QStringLiteral("browser"));
        QFile script(helper);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TestSettings settings;
        PopupBrowserService browser(settings);
        browser.setHelperProgram(helper);

        TaskContextMenu menu(
            QStringLiteral("86abc"), taskUrl, [] {},
            [&browser](const QUrl& url, const QString& title) { browser.open(url, title); });
        menu.openAction()->trigger();
        const auto recorded = [&record] {
            QFile file(record);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        QTRY_VERIFY(recorded().endsWith(u'\n'));
        const QStringList arguments = recorded().split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(arguments.contains(QStringLiteral("--title=ClickUp Task")),
                 qPrintable(arguments.join(u' ')));
        QCOMPARE(arguments.constLast(), taskUrl.toString());
    }

    void withoutATaskNothingStartsOrIsCopied() {
        int starts = 0;
        TaskContextMenu menu(
            QString(), QUrl(), [&starts] { ++starts; }, openNowhere);
        QVERIFY(!menu.startTimerAction()->isEnabled());
        QVERIFY(!menu.copyTaskIdAction()->isEnabled());
        QVERIFY(!menu.openAction()->isEnabled());
        // Even when triggered regardless, the action sends nothing.
        menu.startTimerAction()->setEnabled(true);
        menu.startTimerAction()->trigger();
        QCOMPARE(starts, 0);
    }

    void rightClickOpensTheMenuThatStartsTheTimer() {
        AppStateFixture fixture;
        fixture.configureClickUp();
        TimeEntryGroup group;
        group.taskId = QStringLiteral("86abc");
        group.taskName = QStringLiteral("Fix login");
        group.taskUrl = taskUrl;
        TimeEntryGroupRow row(MenuBarView::taskActions(fixture.state()), group);
        row.resize(300, 30);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row));

        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), row.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(&row, &event);
        QTRY_VERIFY(qobject_cast<TaskContextMenu*>(QApplication::activePopupWidget()));
        auto* menu = qobject_cast<TaskContextMenu*>(QApplication::activePopupWidget());
        menu->startTimerAction()->trigger();
        menu->close();

        QTRY_COMPARE(fixture.clickUp.callCount(FakeClickUpAPI::startTimerOp), 1);
        const FakeClickUpAPI::Call call = fixture.clickUp.calls(FakeClickUpAPI::startTimerOp).constFirst();
        QCOMPARE(call.teamId, AppStateFixture::teamId);
        QCOMPARE(call.taskId, QStringLiteral("86abc"));
        QTRY_VERIFY(fixture.state().timerState()->activeTimer());
    }

    // A name from a server shows in its tool tip character for character, markup and all.
    void toolTipsShowNamesAsPlainText_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("tags") << QStringLiteral("<b>Q3 report</b> <img src=\"x\">");
        QTest::newRow("entities") << QStringLiteral("R&amp;D &lt;draft&gt; & co");
        QTest::newRow("plain") << QStringLiteral("Write report");
    }

    void toolTipsShowNamesAsPlainText() {
        QFETCH(QString, name);
        AppStateFixture fixture;
        ClickUpSearchResult result;
        result.id = QStringLiteral("86abc");
        result.name = name;
        result.taskUrl = taskUrl;
        const ClickUpSearchResultRow searchRow(MenuBarView::taskActions(fixture.state()),
                                               fixture.state().avatarImages(), result);
        QVERIFY2(shownToolTips(searchRow).contains(name), qPrintable(shownToolTips(searchRow).join(u'|')));

        PlanningTask task;
        task.name = name;
        task.clickUpTaskId = QStringLiteral("86abc");
        const PlanningTaskRow planningRow(MenuBarView::taskActions(fixture.state()), task);
        // The planning row shows the cleaned name.
        QVERIFY2(shownToolTips(planningRow).contains(cleanTaskName(name)),
                 qPrintable(shownToolTips(planningRow).join(u'|')));

        const ActiveTimerToastView toast(name, QStringLiteral("0:25:00"));
        QVERIFY2(shownToolTips(toast).contains(name), qPrintable(shownToolTips(toast).join(u'|')));

        ClickUpAssignee assignee;
        assignee.username = name;
        AvatarImageCache pictures;
        const MenuBarAssigneeIcon icon(assignee, 16, pictures);
        QCOMPARE(shownToolTip(icon.toolTip()), name);
    }

    // The highlight follows the pointer and lights one row at most. Inside the popover (a popup) an
    // open context menu holds the pointer, and enter and leave events may go missing around it: the
    // row of a closed menu goes dark unless the pointer is over it, and a row that lights up puts
    // out the one lit before, whatever events arrived.
    void hoverFollowsThePointerAndLightsOneRow() {
        AppStateFixture fixture;
        fixture.configureClickUp();
        QWidget list(nullptr, Qt::Popup | Qt::FramelessWindowHint);
        auto* layout = new QVBoxLayout(&list);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        TimeEntryGroup group;
        group.taskId = QStringLiteral("86abc");
        group.taskName = QStringLiteral("Fix login");
        group.taskUrl = taskUrl;
        auto* first = new TimeEntryGroupRow(MenuBarView::taskActions(fixture.state()), group, &list);
        group.taskName = QStringLiteral("Write report");
        auto* second = new TimeEntryGroupRow(MenuBarView::taskActions(fixture.state()), group, &list);
        layout->addWidget(first);
        layout->addWidget(second);
        list.setGeometry(400, 300, 300, 60);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const auto enter = [](QWidget* row) {
            const QPointF centre = QRectF(row->rect()).center();
            QEnterEvent event(centre, centre, row->mapToGlobal(centre));
            QApplication::sendEvent(row, &event);
        };

        enter(first);
        QVERIFY(first->isHovered());
        QContextMenuEvent event(QContextMenuEvent::Mouse, first->rect().center(),
                                first->mapToGlobal(first->rect().center()));
        QApplication::sendEvent(first, &event);
        QTRY_VERIFY(qobject_cast<TaskContextMenu*>(QApplication::activePopupWidget()));
        auto* menu = qobject_cast<TaskContextMenu*>(QApplication::activePopupWidget());
        // The pointer leaves the rows while the menu is open; the menu closes.
        QCursor::setPos(list.geometry().bottomRight() + QPoint(60, 60));
        menu->close();
        QTRY_VERIFY(!first->isHovered());

        // The pointer is on the first row when its menu closes: it stays lit.
        enter(first);
        QApplication::sendEvent(first, &event);
        QTRY_VERIFY(qobject_cast<TaskContextMenu*>(QApplication::activePopupWidget()));
        QCursor::setPos(first->mapToGlobal(first->rect().center()));
        qobject_cast<TaskContextMenu*>(QApplication::activePopupWidget())->close();
        QTest::qWait(50);
        QVERIFY(first->isHovered());

        // The second row lights up without a leave for the first: one row is lit.
        enter(second);
        QVERIFY(second->isHovered());
        QVERIFY(!first->isHovered());
        // A move over the first row lights it again.
        const QPointF at = QRectF(first->rect()).center();
        QMouseEvent move(QEvent::MouseMove, at, first->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(first, &move);
        QVERIFY(first->isHovered());
        QVERIFY(!second->isHovered());
    }

    void truncation_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("shown");
        const QString e = QStringLiteral("e\u0301"); // e and a combining accent: one character
        const QString flag = QStringLiteral("\U0001F1F3\U0001F1F1"); // a flag: one character
        QTest::newRow("fits") << QStringLiteral("abcde") << 5 << QStringLiteral("abcde");
        QTest::newRow("one too long") << QStringLiteral("abcdef") << 5 << QStringLiteral("ab...");
        QTest::newRow("combining marks count once") << e.repeated(5) << 5 << e.repeated(5);
        QTest::newRow("cut between characters")
            << e.repeated(6) << 5 << e.repeated(2) + QStringLiteral("...");
        QTest::newRow("flags count once")
            << flag.repeated(6) << 5 << flag.repeated(2) + QStringLiteral("...");
        QTest::newRow("empty") << QString() << 5 << QString();
    }

    void truncation() {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QString, shown);
        QCOMPARE(truncatedToCharacters(text, limit), shown);
        QVERIFY(characterCount(truncatedToCharacters(text, limit)) <= limit);
    }
};

PENDLOW_TEST_MAIN(TaskRowWidgetsTest)
#include "tst_TaskRowWidgets.moc"
