#pragma once

#include "platform/UpdateAlert.h"
#include "platform/UpdateListener.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <exception>
#include <functional>

class AppcastUpdater;
class UserDefaultsService;

// The application's updater front: starts the updater backend once, runs the check the user asks
// for (application menu, the popover's Updates button) and turns its outcome into modal alerts:
// "Update Check Unavailable" without a backend (a build without a usable update feed), "Update Check In
// Progress" while one runs, "Update Check Failed" when it fails, "Update Check Taking Longer" when it has not
// answered after the fallback delay (30 s). A manual check shows at most one of the last two. The backend
// shows its own alerts for a found update and for "up to date".
//
// Every message goes to Log (category general) and, as a plain line, to standard error, prefixed
// "Pendlow Update: " (notices), "Pendlow Update Warning: " or "Pendlow Update Error: ".
class UpdateService : public QObject, public UpdateListener {
    Q_OBJECT

public:
    // Makes the backend when the updater starts; null when there is none (no feed address).
    using UpdaterFactory = std::function<AppcastUpdater*()>;

    static constexpr std::chrono::milliseconds defaultUpdateFallbackDelay{30000};
    // The message of "Update Check Unavailable".
    static inline const QString noUpdateFeedMessage =
        QStringLiteral("This build of Pendlow has no update feed, so it cannot check for updates. "
                       "Updates come from where you installed it.");

    UpdateService(UserDefaultsService& settings, UpdaterFactory factory, QObject* parent = nullptr);
    ~UpdateService() override;

    // The build's feed address (PENDLOW_UPDATE_FEED_URL); empty when the build has none.
    static QUrl configuredFeedUrl();

    // A factory of AppcastUpdater over the feed for the running version (appVersion()); it makes none
    // for an empty address or one that is not http or https.
    static UpdaterFactory appcastUpdaterFactory(const QUrl& feedUrl, UserDefaultsService& settings);

    // Makes and starts the backend the first time; later calls do nothing.
    void startUpdater();
    // The check of the user: see the class comment.
    void checkForUpdatesManually();

    // The backend, once started; null before or when there is none.
    AppcastUpdater* updater() const;
    bool manualUpdateCheckInProgress() const { return m_manualUpdateCheckInProgress; }
    bool didPresentManualUpdateResult() const { return m_didPresentManualUpdateResult; }
    bool isUpdateFallbackPending() const { return m_updateFallbackTimer.isActive(); }

    void setUpdateFallbackDelay(std::chrono::milliseconds delay);
    // How alerts are shown, here and in the backend; UpdateAlert::showMessageBox unless set.
    void setAlertPresenter(UpdateAlert::Presenter presenter);

    // Writes "Pendlow Update: <text>" on standard error, the plain channel of the update messages
    // (the Updates button writes "button clicked" there).
    static void printNotice(const QString& text);

    void updaterDidAbortWithError(const UpdateError& error) override;
    void updaterDidFindValidUpdate(const AppcastItem& item) override;
    void updaterDidFinishUpdateCycle(UpdateCheck check, const std::optional<UpdateError>& error) override;

private:
    void clearUpdateCache();
    void scheduleUpdateFallback();
    void cancelUpdateFallback();
    void onUpdateFallback();
    void showAlert(const QString& title, const QString& message, UpdateAlert::Style style);
    static QString alertMessage(const std::exception& error);
    QString feedUrlText() const;

    void notice(const QString& text);
    void warning(const QString& text);
    void error(const QString& text);
    void error(const QString& text, const std::exception& cause);

    UserDefaultsService& m_settings;
    UpdaterFactory m_factory;
    bool m_startAttempted = false;
    QPointer<AppcastUpdater> m_updater;
    bool m_manualUpdateCheckInProgress = false;
    bool m_didPresentManualUpdateResult = false;
    QTimer m_updateFallbackTimer;
    UpdateAlert::Presenter m_presenter;
};
