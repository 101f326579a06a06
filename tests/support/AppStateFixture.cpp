#include "AppStateFixture.h"

#include "support/TaskAwait.h"

#include "app/KeychainItem.h"

AppStateFixture::AppStateFixture()
    : settings(dir.filePath(QStringLiteral("Pendlow.conf")))
    , m_state(
          std::make_unique<AppState>(clickUp, tools, keychain, settings, notifications, &toasts, &panels)) {}

AppStateFixture::~AppStateFixture() {
    m_state.reset();
}

void AppStateFixture::configureClickUp() {
    keychain.putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_test_token"));
    settings.setTeamId(teamId);
    awaitTask(m_state->loadConfiguration());
}

void AppStateFixture::configureTools() {
    keychain.putItem(KeychainItem::toolsWSToken, QStringLiteral("ws_test_token"));
    settings.setToolsUrl(QStringLiteral("https://tools.example.com/"));
    settings.setUserKey(QStringLiteral("user-key"));
    awaitTask(m_state->loadConfiguration());
}

void AppStateFixture::enableSilentMode() {
    awaitTask(m_state->enableSilentMode(3600));
}

void AppStateFixture::fetchPlanning(const QList<PlanningTask>& tasks) {
    tools.planning = {tasks, QStringLiteral("1.0")};
    tools.failure = nullptr;
    awaitTask(m_state->planningState()->fetchPlanning(QString(), QString(), std::nullopt));
}

void AppStateFixture::failPlanning(std::exception_ptr error) {
    tools.failure = error;
    awaitTask(m_state->planningState()->fetchPlanning(QString(), QString(), std::nullopt));
    tools.failure = nullptr;
}
