#include "AppStateFixture.h"

#include "support/TaskAwait.h"

#include "platform/KeychainItem.h"
#include "services/alerts/SilentMode.h"

#include <QTest>

AppStateFixture::AppStateFixture(std::optional<QDateTime> now)
    : m_clock(now ? std::make_unique<FakeClock>(*now) : nullptr)
    , m_state(std::make_unique<AppState>(clickUp, tools, keychain, settings, notifications, toasts, panels)) {
}

AppStateFixture::~AppStateFixture() {
    m_state.reset();
}

void AppStateFixture::storeClickUpSettings(const QString& token) {
    keychain.putItem(KeychainItem::clickUpAPIToken, token);
    settings.setTeamId(teamId);
}

void AppStateFixture::storeToolsSettings(const QString& token) {
    keychain.putItem(KeychainItem::toolsWSToken, token);
    settings.setToolsUrl(QStringLiteral("https://tools.example.com/"));
    settings.setUserKey(QStringLiteral("user-key"));
}

void AppStateFixture::configureClickUp() {
    storeClickUpSettings();
    loadConfiguration();
}

void AppStateFixture::configureTools() {
    storeToolsSettings();
    loadConfiguration();
}

void AppStateFixture::loadConfiguration() {
    QVERIFY(awaitTask(m_state->loadConfiguration()).finished);
}

void AppStateFixture::enableSilentMode() {
    awaitTask(m_state->silentMode().enable(3600));
}

void AppStateFixture::checkOneTimerStart(const QString& taskId) {
    const QList<FakeClickUpAPI::Call> starts = clickUp.calls(FakeClickUpAPI::startTimerOp);
    QCOMPARE(starts.size(), 1);
    QCOMPARE(starts.constFirst().teamId, teamId);
    QCOMPARE(starts.constFirst().taskId, taskId);
}

void AppStateFixture::fetchPlanning(const QList<PlanningTask>& tasks) {
    tools.planning = {tasks, onHeap(u"1.0")};
    tools.failure = nullptr;
    awaitTask(m_state->planningState()->fetchPlanning(QString(), QString(), std::nullopt));
}

void AppStateFixture::failPlanning(std::exception_ptr error) {
    tools.failure = error;
    awaitTask(m_state->planningState()->fetchPlanning(QString(), QString(), std::nullopt));
    tools.failure = nullptr;
}
