#include "services/updates/UpdateService.h"

#include "core/Formatting.h"
#include "core/Log.h"
#include "core/UserDefaultsService.h"
#include "platform/AppcastUpdater.h"

#include <QCoreApplication>

namespace {
void printLine(const char* prefix, const QString& text) {
    Log::console(QString::fromLatin1(prefix) + text, Log::Stream::standardError);
}
} // namespace

UpdateService::UpdateService(UserDefaultsService& settings, UpdaterFactory factory, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_factory(std::move(factory))
    , m_presenter(&UpdateAlert::showMessageBox) {
    m_updateFallbackTimer.setSingleShot(true);
    m_updateFallbackTimer.setInterval(defaultUpdateFallbackDelay);
    connect(&m_updateFallbackTimer, &QTimer::timeout, this, &UpdateService::onUpdateFallback);
}

UpdateService::~UpdateService() {
    if (m_updater) {
        m_updater->setDelegate(nullptr);
    }
}

QUrl UpdateService::configuredFeedUrl() {
    return QUrl(QStringLiteral(PENDLOW_UPDATE_FEED_URL));
}

UpdateService::UpdaterFactory UpdateService::appcastUpdaterFactory(const QUrl& feedUrl,
                                                                   UserDefaultsService& settings) {
    return [feedUrl, &settings]() -> AppcastUpdater* {
        const QString scheme = feedUrl.scheme().toLower();
        if (feedUrl.isEmpty()) {
            return nullptr;
        }
        if (!feedUrl.isValid() || (scheme != u"http" && scheme != u"https")) {
            Log::warning(
                QStringLiteral("Update feed address is not an http or https address; updates are off."),
                Log::Category::general);
            return nullptr;
        }
        return new AppcastUpdater(feedUrl, appVersion(), settings);
    };
}

AppcastUpdater* UpdateService::updater() const {
    return m_updater;
}

void UpdateService::setUpdateFallbackDelay(std::chrono::milliseconds delay) {
    m_updateFallbackTimer.setInterval(delay);
}

void UpdateService::setAlertPresenter(UpdateAlert::Presenter presenter) {
    m_presenter = presenter ? std::move(presenter) : UpdateAlert::Presenter(&UpdateAlert::showMessageBox);
    if (m_updater) {
        m_updater->setAlertPresenter(m_presenter);
    }
}

void UpdateService::printNotice(const QString& text) {
    printLine("Pendlow Update: ", text);
}

void UpdateService::notice(const QString& text) {
    Log::notice(text, Log::Category::general);
    printLine("Pendlow Update: ", text);
}

void UpdateService::warning(const QString& text) {
    Log::warning(text, Log::Category::general);
    printLine("Pendlow Update Warning: ", text);
}

void UpdateService::error(const QString& text) {
    Log::error(text, Log::Category::general);
    printLine("Pendlow Update Error: ", text);
}

void UpdateService::error(const QString& text, const std::exception& cause) {
    Log::error(text, Log::Category::general, cause);
    printLine("Pendlow Update Error: ", text);
}

QString UpdateService::feedUrlText() const {
    if (!m_updater || m_updater->feedURL().isEmpty()) {
        return QStringLiteral("nil");
    }
    return m_updater->feedURL().toString(QUrl::RemoveUserInfo);
}

void UpdateService::startUpdater() {
    if (m_startAttempted) {
        return;
    }
    m_startAttempted = true;
    AppcastUpdater* updater = m_factory ? m_factory() : nullptr;
    if (!updater) {
        notice(QStringLiteral("Updater not started: no update feed. feedURL=nil"));
        return;
    }
    updater->setParent(this);
    updater->setDelegate(this);
    updater->setAlertPresenter(m_presenter);
    m_updater = updater;
    updater->startUpdater();
    notice(QStringLiteral("Updater started. feedURL=") + feedUrlText());
}

void UpdateService::clearUpdateCache() {
    m_settings.remove(AppcastUpdater::lastCheckTimeKey);
    notice(QStringLiteral("Cleared update cache for fresh check"));
}

void UpdateService::checkForUpdatesManually() {
    startUpdater();
    if (!m_updater) {
        error(QStringLiteral("Update service not initialized."));
        // Without a feed no restart helps: the build itself has nowhere to look.
        showAlert(QStringLiteral("Update Check Unavailable"), noUpdateFeedMessage,
                  UpdateAlert::Style::warning);
        return;
    }
    clearUpdateCache();
    const bool canCheck = m_updater->canCheckForUpdates();
    notice(QStringLiteral("Manual update check requested. canCheckForUpdates=%1 feedURL=%2")
               .arg(canCheck ? QStringLiteral("true") : QStringLiteral("false"), feedUrlText()));
    if (!canCheck) {
        warning(QStringLiteral("Update check blocked: updater is busy."));
        showAlert(QStringLiteral("Update Check In Progress"),
                  QStringLiteral("Please wait for the current update check to finish and try again."),
                  UpdateAlert::Style::informational);
        return;
    }
    m_manualUpdateCheckInProgress = true;
    m_didPresentManualUpdateResult = false;
    scheduleUpdateFallback();
    m_updater->checkForUpdates();
}

void UpdateService::scheduleUpdateFallback() {
    // One pending fallback at a time: a new check replaces the old one.
    m_updateFallbackTimer.start();
}

void UpdateService::cancelUpdateFallback() {
    m_updateFallbackTimer.stop();
}

void UpdateService::onUpdateFallback() {
    if (!m_manualUpdateCheckInProgress || m_didPresentManualUpdateResult) {
        return;
    }
    warning(QStringLiteral("Update check timed out without a response."));
    showAlert(QStringLiteral("Update Check Taking Longer"),
              QStringLiteral("No response yet. Please check your network connection and try again."),
              UpdateAlert::Style::warning);
    m_didPresentManualUpdateResult = true;
}

void UpdateService::updaterDidAbortWithError(const UpdateError& failure) {
    if (!m_manualUpdateCheckInProgress || m_didPresentManualUpdateResult) {
        return;
    }
    error(QStringLiteral("Update check failed: ") + failure.description(), failure);
    showAlert(QStringLiteral("Update Check Failed"), alertMessage(failure), UpdateAlert::Style::warning);
    m_didPresentManualUpdateResult = true;
    cancelUpdateFallback();
}

void UpdateService::updaterDidFindValidUpdate(const AppcastItem& item) {
    notice(QStringLiteral("Update found: %1 (%2).").arg(item.displayVersionString, item.versionString));
    cancelUpdateFallback();
}

void UpdateService::updaterDidFinishUpdateCycle(UpdateCheck check,
                                                const std::optional<UpdateError>& failure) {
    if (check != UpdateCheck::userInitiated) {
        return;
    }
    if (failure) {
        error(QStringLiteral("Update cycle finished with error: ") + failure->description(), *failure);
        if (m_manualUpdateCheckInProgress && !m_didPresentManualUpdateResult) {
            showAlert(QStringLiteral("Update Check Failed"), alertMessage(*failure),
                      UpdateAlert::Style::warning);
        }
    } else {
        notice(QStringLiteral("Update cycle finished without error."));
    }
    m_manualUpdateCheckInProgress = false;
    m_didPresentManualUpdateResult = false;
    cancelUpdateFallback();
}

QString UpdateService::alertMessage(const std::exception& failure) {
    QString message = Error::describe(failure);
    if (const auto* updateError = dynamic_cast<const UpdateError*>(&failure)) {
        const QString suggestion = updateError->recoverySuggestion();
        if (!suggestion.isEmpty()) {
            message += QLatin1Char('\n') + suggestion;
        }
    }
    return message;
}

void UpdateService::showAlert(const QString& title, const QString& message, UpdateAlert::Style style) {
    // Never inside the caller: the alert comes up from the event loop.
    QTimer::singleShot(0, this, [this, alert = UpdateAlert{title, message, style, {QStringLiteral("OK")}}] {
        m_presenter(alert, {});
    });
}
