// The ClickUp search results: the header's spinner or count, the searching, no-results and error
// lines, collapsing, the result rows (name shortening, subtasks, short ids, list names) with their
// start-timer action, and the assignee avatars (how many, their colours, their pictures).
#include "support/AppStateFixture.h"
#include "support/FakeHttpServer.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "services/clickup/AvatarImageCache.h"
#include "ui/clickup/MenuBarAssigneeIcon.h"
#include "ui/clickup/MenuBarAssigneeIconsView.h"
#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/kit/SectionMessage.h"
#include "ui/kit/TagLabel.h"
#include "ui/kit/TaskContextMenu.h"
#include "ui/menubar/ClickUpSearchResultRow.h"
#include "ui/menubar/ClickUpSearchSection.h"
#include "ui/menubar/MenuBarView.h"

#include <QBuffer>
#include <QLabel>
#include <QLayout>

#include <memory>

namespace {
ClickUpSearchResult result(const QString& id, const QString& name,
                           std::optional<QString> parent = std::nullopt) {
    ClickUpSearchResult r;
    r.id = id;
    r.name = name;
    r.status = TaskStatus::inReview;
    r.listName = QStringLiteral("Sprint 12");
    r.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/") + id);
    r.parent = std::move(parent);
    return r;
}

ClickUpAssignee assignee(qint64 id, const QString& name, std::optional<QString> color = std::nullopt,
                         std::optional<QString> picture = std::nullopt) {
    return ClickUpAssignee{id, name, std::move(color), std::move(picture)};
}

QList<ClickUpSearchResultRow*> rows(const QWidget& section) {
    return section.findChildren<ClickUpSearchResultRow*>();
}

QStringList messages(const QWidget& section) {
    QStringList texts;
    for (const SectionMessage* message : section.findChildren<SectionMessage*>()) {
        texts << (message->kind() == SectionMessage::Kind::error     ? QStringLiteral("error: ")
                  : message->kind() == SectionMessage::Kind::loading ? QStringLiteral("loading: ")
                                                                     : QString()) +
                     message->text();
    }
    return texts;
}

// What the header shows after its title: "spinner", the count, or nothing.
QString headerTrailing(const ClickUpSearchSection& section) {
    const auto* header = section.findChild<DisclosureHeader*>(QStringLiteral("clickUpSearchHeader"));
    if (header->findChild<ProgressIndicator*>()) {
        return QStringLiteral("spinner");
    }
    const auto* count = header->findChild<TagLabel*>(QStringLiteral("countBadge"));
    return count ? count->text() : QString();
}

QString childText(const QWidget& widget, const QString& name) {
    const auto* label = widget.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<none>");
}
} // namespace

class ClickUpSearchSectionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<ClickUpSearchSection> m_section;

    SearchState& search() { return *m_fixture->state().searchState(); }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>();
        m_fixture->configureClickUp();
        search().setSearchText(QStringLiteral("login"));
        m_section = std::make_unique<ClickUpSearchSection>(search(), m_fixture->state().avatarImages(),
                                                           MenuBarView::taskActions(m_fixture->state()));
    }

    void cleanup() {
        m_section.reset();
        m_fixture.reset();
    }

    void searchStates_data() {
        QTest::addColumn<int>("results");
        QTest::addColumn<bool>("searching");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QString>("trailing");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QStringList>("lines");
        const QString error = QStringLiteral("error: Server error: 500");
        QTest::newRow("nothing found")
            << 0 << false << false << "" << 0 << QStringList{"No tasks found in ClickUp for 'login'"};
        QTest::newRow("results") << 2 << false << false << "2" << 2 << QStringList{};
        QTest::newRow("searching with earlier results")
            << 2 << true << false << "spinner" << 0 << QStringList{"loading: Searching ClickUp..."};
        QTest::newRow("error, no results") << 0 << false << true << "" << 0 << QStringList{error};
        QTest::newRow("error below earlier results") << 2 << false << true << "2" << 2 << QStringList{error};
    }

    void searchStates() {
        QFETCH(int, results);
        QFETCH(bool, searching);
        QFETCH(bool, failed);
        QFETCH(QString, trailing);
        QFETCH(int, rowCount);
        QFETCH(QStringList, lines);
        QList<ClickUpSearchResult> found;
        for (int i = 0; i < results; ++i) {
            found << result(QStringLiteral("task%1").arg(i), QStringLiteral("Fix login %1").arg(i));
        }
        search().setClickUpResults(found);
        search().setIsSearching(searching);
        if (failed) {
            search().setError(APIError::httpError(500, std::nullopt));
        }
        QCOMPARE(headerTrailing(*m_section), trailing);
        QCOMPARE(rows(*m_section).size(), rowCount);
        QCOMPARE(messages(*m_section), lines);
    }

    void followsARealSearch() {
        m_fixture->clickUp.searchResults = {result("a1", "Fix login"), result("b2", "Login page")};
        m_fixture->clickUp.hold(FakeClickUpAPI::searchTasksOp);
        auto task = search().search(AppStateFixture::teamId, QStringLiteral("login"));
        QCOMPARE(headerTrailing(*m_section), QStringLiteral("spinner"));
        QCOMPARE(messages(*m_section), QStringList{"loading: Searching ClickUp..."});
        m_fixture->clickUp.release(FakeClickUpAPI::searchTasksOp);
        QVERIFY(!awaitTask(std::move(task)).failed());
        QCOMPARE(headerTrailing(*m_section), QStringLiteral("2"));
        QCOMPARE(rows(*m_section).size(), 2);
        QCOMPARE(rows(*m_section).at(1)->result().id, QStringLiteral("b2")); // in the order found
    }

    void collapsingKeepsTheHeader() {
        search().setClickUpResults({result("a1", "Fix login")});
        search().setError(APIError::httpError(500, std::nullopt));
        auto* header = m_section->findChild<DisclosureHeader*>(QStringLiteral("clickUpSearchHeader"));
        m_section->show();
        QTest::mouseClick(header, Qt::LeftButton);
        QVERIFY(!m_section->isExpanded());
        QVERIFY(rows(*m_section).isEmpty());
        QVERIFY(messages(*m_section).isEmpty());
        QCOMPARE(headerTrailing(*m_section), QStringLiteral("1"));
        search().setIsSearching(true);
        QCOMPARE(headerTrailing(*m_section), QStringLiteral("spinner"));
        QVERIFY(messages(*m_section).isEmpty());
    }

    void resultRow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        const QString n40 = QStringLiteral("n").repeated(40);
        QTest::newRow("40 characters: whole") << n40 << n40;
        QTest::newRow("41 characters: 37 and dots")
            << QStringLiteral("m").repeated(41) << QStringLiteral("m").repeated(37) + QStringLiteral("...");
        const QString flag = QStringLiteral("\U0001F1E9\U0001F1EA");
        QTest::newRow("40 flags: whole") << flag.repeated(40) << flag.repeated(40);
    }

    void resultRow() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        search().setClickUpResults({result("86abcdef12", name)});
        const ClickUpSearchResultRow* row = rows(*m_section).constFirst();
        QCOMPARE(childText(*row, "taskName"), shown);
        QCOMPARE(row->findChild<QLabel*>("taskName")->toolTip(), name); // the whole name as help
        QCOMPARE(childText(*row, "listName"), QStringLiteral("Sprint 12"));
        QCOMPARE(childText(*row, "shortId"), QStringLiteral("86abcdef"));
        QVERIFY(!row->findChild<QLabel*>("subtaskArrow"));
        QVERIFY(!row->findChild<MenuBarAssigneeIconsView*>());
    }

    void subtaskRows() {
        search().setClickUpResults(
            {result("parent1", "Parent"), result("child1", "Child", QStringLiteral("parent1"))});
        auto* parentRow = rows(*m_section).at(0);
        auto* childRow = rows(*m_section).at(1);
        QVERIFY(childRow->isSubtask());
        QVERIFY(childRow->findChild<QLabel*>("subtaskArrow"));
        QCOMPARE(childRow->layout()->contentsMargins().left(),
                 parentRow->layout()->contentsMargins().left() + 16);

        // The faint fill of a subtask stays whether hovered or not; a plain row is clear until hovered.
        const auto fillAt = [](QWidget* row) {
            return row->grab().toImage().pixelColor(2, row->height() / 2);
        };
        parentRow->resize(300, 30);
        childRow->resize(300, 30);
        const QColor background = parentRow->palette().color(QPalette::Window);
        QCOMPARE(fillAt(parentRow), background);
        const QColor subtaskFill = fillAt(childRow);
        QVERIFY(subtaskFill != background);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        // The subtask hovered keeps its fill; then the plain row hovered (one row is lit at a time).
        QApplication::sendEvent(childRow, &enter);
        QVERIFY(childRow->isHovered());
        QCOMPARE(fillAt(childRow), subtaskFill);
        QApplication::sendEvent(parentRow, &enter);
        QVERIFY(parentRow->isHovered());
        QVERIFY(fillAt(parentRow) != background);
        QCOMPARE(fillAt(childRow), subtaskFill);
    }

    void startTimerFromAResult() {
        search().setClickUpResults({result("86abc", "Fix login")});
        std::unique_ptr<TaskContextMenu> menu(rows(*m_section).constFirst()->createContextMenu());
        menu->startTimerAction()->trigger();
        QTRY_VERIFY(m_fixture->state().timerState()->activeTimer());
        m_fixture->checkOneTimerStart(QStringLiteral("86abc"));
    }

    void assigneeAvatars_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("avatars");
        QTest::addColumn<QString>("more");
        QTest::newRow("one") << 1 << 1 << "";
        QTest::newRow("three") << 3 << 3 << "";
        QTest::newRow("four") << 4 << 3 << "+1";
        QTest::newRow("six") << 6 << 3 << "+3";
    }

    void assigneeAvatars() {
        QFETCH(int, count);
        QFETCH(int, avatars);
        QFETCH(QString, more);
        ClickUpSearchResult found = result("a1", "Fix login");
        for (int i = 0; i < count; ++i) {
            found.assignees << assignee(i + 1, QStringLiteral("User %1").arg(i + 1),
                                        QStringLiteral("#336699"));
        }
        search().setClickUpResults({found});
        const auto* view = rows(*m_section).constFirst()->findChild<MenuBarAssigneeIconsView*>();
        QVERIFY(view);
        const QList<MenuBarAssigneeIcon*> icons = view->findChildren<MenuBarAssigneeIcon*>();
        QCOMPARE(icons.size(), avatars);
        QCOMPARE(icons.constFirst()->toolTip(), QStringLiteral("User 1"));
        QCOMPARE(icons.constFirst()->size(), QSize(14, 14));
        QCOMPARE(view->moreText(), more);
        if (avatars > 1) {
            QCOMPARE(icons.at(1)->x() - icons.at(0)->x(), 14 - 3); // overlapping
        }
    }

    void initialsAvatarColours() {
        AvatarImageCache pictures;
        MenuBarAssigneeIcon coloured(assignee(1, "Jane Doe", QStringLiteral("#FF0000")), 14, pictures);
        QCOMPARE(coloured.initialsColor(), QColor(255, 0, 0));
        MenuBarAssigneeIcon plain(assignee(2, "jo"), 14, pictures);
        QCOMPARE(plain.initialsColor(), QColor(0x80, 0x80, 0x80));
        QVERIFY(!plain.showsPicture());
        // The circle is drawn in that colour.
        const QImage image = coloured.grab().toImage();
        QCOMPARE(image.pixelColor(image.width() / 2, 2).rgb(), QColor(255, 0, 0).rgb());
    }

    void profilePictures() {
        FakeHttpServer server;
        QImage square(8, 8, QImage::Format_RGB32);
        square.fill(QColor(0, 200, 0));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        square.save(&buffer, "PNG");
        FakeHttpServer::Response picture;
        picture.body = png;
        picture.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("image/png")));
        server.route("GET", QStringLiteral("/avatar.png"), picture);
        server.route("GET", QStringLiteral("/broken.png"), FakeHttpServer::Response::text("not a picture"));
        const QString base = server.baseUrl().toString();
        AvatarImageCache pictures;

        MenuBarAssigneeIcon loaded(assignee(1, "Jane Doe", std::nullopt, base + "/avatar.png"), 14, pictures);
        QVERIFY(!loaded.showsPicture()); // initials while it loads
        QTRY_VERIFY(loaded.showsPicture());
        const QImage shown = loaded.grab().toImage();
        QCOMPARE(shown.pixelColor(7, 7).rgb(), QColor(0, 200, 0).rgb());
        // Loaded once: a second avatar of the same address shows it at once, without asking again.
        MenuBarAssigneeIcon again(assignee(1, "Jane Doe", std::nullopt, base + "/avatar.png"), 14, pictures);
        QVERIFY(again.showsPicture());
        QCOMPARE(server.requests("GET", QStringLiteral("/avatar.png")).size(), 1);

        MenuBarAssigneeIcon broken(assignee(2, "Ann", std::nullopt, base + "/broken.png"), 14, pictures);
        QTRY_COMPARE(server.requests("GET", QStringLiteral("/broken.png")).size(), 1);
        QTest::qWait(50);
        QVERIFY(!broken.showsPicture());

        for (const QString& address :
             {QStringLiteral("not a url at all %%"), QStringLiteral("file:///etc/passwd")}) {
            MenuBarAssigneeIcon unusable(assignee(3, "Bo", std::nullopt, address), 14, pictures);
            QVERIFY(!unusable.showsPicture());
        }
        QCOMPARE(server.requestCount(), 2);
    }
};

PENDLOW_TEST_MAIN(ClickUpSearchSectionTest)
#include "tst_ClickUpSearchSection.moc"
