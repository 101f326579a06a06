#include "platform/AppcastUpdater.h"

#include "core/Clock.h"
#include "core/Log.h"
#include "core/RequestLimits.h"
#include "core/UserDefaultsService.h"
#include "platform/AppcastParser.h"
#include "platform/VersionNumber.h"

#include <QCoroNetworkReply>
#include <QDesktopServices>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <limits>
#include <memory>

using namespace std::chrono_literals;

const QString AppcastUpdater::lastCheckTimeKey = QStringLiteral("SULastCheckTime");

namespace {
bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}
} // namespace

AppcastUpdater::AppcastUpdater(QUrl feedUrl, QString currentVersion, UserDefaultsService& settings,
                               QObject* parent)
    : QObject(parent)
    , m_feedUrl(std::move(feedUrl))
    , m_currentVersion(std::move(currentVersion))
    , m_settings(settings)
    , m_presenter(&UpdateAlert::showMessageBox) {
    m_backgroundTimer.setSingleShot(true);
    connect(&m_backgroundTimer, &QTimer::timeout, this, &AppcastUpdater::checkForUpdatesInBackground);
}

AppcastUpdater::~AppcastUpdater() {
    // A check still waiting for the feed ends now: it resumes, sees that the updater is going and
    // returns without touching it (instead of staying suspended for good).
    *m_alive = false;
    if (m_reply) {
        m_reply->abort();
    }
}

void AppcastUpdater::setDelegate(UpdateListener* delegate) {
    m_delegate = delegate;
}

void AppcastUpdater::setAlertPresenter(UpdateAlert::Presenter presenter) {
    m_presenter = presenter ? std::move(presenter) : UpdateAlert::Presenter(&UpdateAlert::showMessageBox);
}

void AppcastUpdater::setTransferTimeout(std::chrono::milliseconds timeout) {
    m_transferTimeout = timeout;
}

void AppcastUpdater::startUpdater() {
    if (m_started) {
        return;
    }
    m_started = true;
    m_backgroundTimer.start(nextBackgroundCheckDelay());
}

std::chrono::milliseconds AppcastUpdater::nextBackgroundCheckDelay() const {
    const QVariant stored = m_settings.value(lastCheckTimeKey);
    const QDateTime last = stored.metaType().id() == QMetaType::QDateTime
                               ? stored.toDateTime()
                               : QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
    if (!last.isValid()) {
        return firstBackgroundCheckDelay;
    }
    const std::chrono::milliseconds sinceLast{last.msecsTo(Clock::now())};
    // A last check in the future (the clock was set back) waits one full interval from now.
    return std::clamp(backgroundCheckInterval - sinceLast, firstBackgroundCheckDelay,
                      backgroundCheckInterval);
}

std::optional<std::chrono::milliseconds> AppcastUpdater::plannedBackgroundCheckDelay() const {
    if (!m_backgroundTimer.isActive()) {
        return std::nullopt;
    }
    return m_backgroundTimer.intervalAsDuration();
}

void AppcastUpdater::checkForUpdates() {
    if (m_checking) {
        Log::warning(QStringLiteral("Update check ignored: another check is running."),
                     Log::Category::general);
        return;
    }
    runCheck(UpdateCheck::userInitiated);
}

void AppcastUpdater::checkForUpdatesInBackground() {
    if (m_checking) {
        // The running check reschedules the next one when it ends.
        return;
    }
    runCheck(UpdateCheck::background);
}

void AppcastUpdater::setChecking(bool checking) {
    if (m_checking != checking) {
        m_checking = checking;
        Q_EMIT canCheckForUpdatesChanged(!checking);
    }
}

void AppcastUpdater::recordCheckTime() {
    const QDateTime now = Clock::now();
    m_settings.setValue(lastCheckTimeKey,
                        now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs));
}

QCoro::Task<QByteArray> AppcastUpdater::fetchFeed() {
    QNetworkRequest request(m_feedUrl);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Pendlow/%1").arg(m_currentVersion));
    request.setRawHeader("Accept", "application/rss+xml, application/xml;q=0.9, text/xml;q=0.9, */*;q=0.1");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);

    const std::shared_ptr<const bool> alive = m_alive;
    // The feed's own size check below names its error; the limits add the deadline.
    RequestLimits limits;
    limits.inactivity = m_transferTimeout;
    limits.maxBodyBytes = std::numeric_limits<qint64>::max();
    QNetworkReply* reply = limits.apply(m_network.get(request));
    m_reply = reply;
    auto tooLarge = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, tooLarge](qint64 received, qint64 total) {
        if (received > maximumFeedSize || total > maximumFeedSize) {
            *tooLarge = true;
            reply->abort();
        }
    });
    co_await reply;
    if (!*alive) {
        // Aborted by the destructor; the reply goes with the updater's network access.
        throw UpdateError::networkError(QStringLiteral("The updater was closed"));
    }
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> owned(
        reply, [](QNetworkReply* r) { r->deleteLater(); });
    m_reply = nullptr;

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (*tooLarge) {
        throw UpdateError::feedTooLarge();
    }
    if (reply->error() == QNetworkReply::OperationCanceledError ||
        reply->error() == QNetworkReply::TimeoutError) {
        throw UpdateError::timedOut();
    }
    if (status >= 300) {
        throw UpdateError::httpError(status);
    }
    if (reply->error() != QNetworkReply::NoError) {
        throw UpdateError::networkError(reply->errorString());
    }
    co_return reply->readAll();
}

QCoro::Task<> AppcastUpdater::runCheck(UpdateCheck check) {
    const std::shared_ptr<const bool> alive = m_alive;
    setChecking(true);
    m_backgroundTimer.stop();
    std::optional<AppcastItem> newer;
    std::optional<UpdateError> failure;
    try {
        const QByteArray feed = co_await fetchFeed();
        if (!*alive) {
            co_return;
        }
        const std::optional<AppcastItem> newest =
            AppcastParser::newestItem(AppcastParser::parse(feed, m_feedUrl));
        if (newest && VersionNumber::compare(newest->displayVersionString, m_currentVersion) > 0) {
            newer = newest;
        }
    } catch (const UpdateError& error) {
        failure = error;
    } catch (const std::exception& error) {
        failure = UpdateError::networkError(Error::describe(error));
    }
    if (!*alive) {
        co_return;
    }
    recordCheckTime();

    if (failure) {
        if (check == UpdateCheck::background) {
            Log::error(QStringLiteral("Background update check failed"), Log::Category::general, *failure);
        }
        if (m_delegate) {
            m_delegate->updaterDidAbortWithError(*failure);
        }
        if (*alive) {
            finishCycle(check, failure);
        }
        co_return;
    }
    if (newer) {
        if (m_delegate) {
            m_delegate->updaterDidFindValidUpdate(*newer);
        }
        if (*alive && check == UpdateCheck::userInitiated) {
            presentUpdate(*newer); // finishes the cycle once answered
        } else if (*alive) {
            finishCycle(check, std::nullopt);
        }
        co_return;
    }
    Log::info(QStringLiteral("No update: %1 is the newest version.").arg(m_currentVersion),
              Log::Category::general);
    finishCycle(check, std::nullopt);
    if (*alive && check == UpdateCheck::userInitiated) {
        presentUpToDate();
    }
}

void AppcastUpdater::finishCycle(UpdateCheck check, const std::optional<UpdateError>& error) {
    setChecking(false);
    if (m_started) {
        m_backgroundTimer.start(backgroundCheckInterval);
    }
    if (m_delegate) {
        m_delegate->updaterDidFinishUpdateCycle(check, error);
    }
}

void AppcastUpdater::present(const UpdateAlert& alert, UpdateAlert::Answer answer) {
    m_presenter(alert, std::move(answer));
}

void AppcastUpdater::presentUpdate(const AppcastItem& item) {
    UpdateAlert alert;
    alert.title = QStringLiteral("Update Available");
    alert.style = UpdateAlert::Style::informational;
    alert.message = QStringLiteral("Pendlow %1 is available; you are running version %2.")
                        .arg(item.displayVersionString, m_currentVersion);
    const bool canOpen = isWebAddress(item.downloadPage);
    if (canOpen) {
        alert.message += QStringLiteral("\nOpen the download page to get the new version.");
        alert.buttons = {QStringLiteral("Open Download Page"), QStringLiteral("Later")};
    } else {
        Log::warning(QStringLiteral("The update names no web page to download it from."),
                     Log::Category::general);
    }
    QPointer<AppcastUpdater> self(this);
    const QUrl page = item.downloadPage;
    present(alert, [self, page, canOpen](int button) {
        if (canOpen && button == 0 && !QDesktopServices::openUrl(page)) {
            Log::warning(QStringLiteral("Could not open the download page ") +
                             page.toString(QUrl::RemoveUserInfo),
                         Log::Category::general);
        }
        if (self) {
            self->finishCycle(UpdateCheck::userInitiated, std::nullopt);
        }
    });
}

void AppcastUpdater::presentUpToDate() {
    UpdateAlert alert;
    alert.title = QStringLiteral("Pendlow Is Up to Date");
    alert.message = QStringLiteral("Version %1 is the newest version available.").arg(m_currentVersion);
    alert.style = UpdateAlert::Style::informational;
    present(alert, {});
}
