#include "services/alerts/NotificationService.h"

#include "core/CharacterTruncation.h"
#include "core/Error.h"
#include "core/Log.h"
#include "platform/ApplicationIcon.h"
#include "platform/DesktopNotification.h"
#include "platform/DesktopNotificationClient.h"

#include <QCoreApplication>
#include <QCoroSignal>
#include <QLocale>

namespace {
const QString appName = QStringLiteral("Pendlow");
const QString desktopEntry = QStringLiteral("pendlow");
// Sounds of the freedesktop sound theme: the usual notification sound and the alarming one.
const QString defaultSound = QStringLiteral("message-new-instant");
const QString criticalSound = QStringLiteral("dialog-warning");
// Normal urgency: servers expire it like any other notification (critical ones stay until
// dismissed, long after their reason is gone).
constexpr uchar urgencyNormal = 1;

const QString urgencyHint = QStringLiteral("urgency");
const QString categoryHint = QStringLiteral("category");
const QString soundHint = QStringLiteral("sound-name");
const QString desktopEntryHint = QStringLiteral("desktop-entry");

const QString noTimerTitle = QStringLiteral("⏱️ Time to Start Tracking!");
const QString noTimerSubtitle = QStringLiteral("No active timer detected");
const QString noTimerBody = QStringLiteral("Click here to open Pendlow and start logging your work.");
const QString startedTitle = QStringLiteral("▶️ Timer Started");
const QString startedBody = QStringLiteral("You're now tracking time. Keep up the great work!");
const QString stoppedTitle = QStringLiteral("⏹️ Timer Stopped");
const QString stoppedSubtitlePrefix = QStringLiteral("Duration: ");
const QString stoppedBody = QStringLiteral("Great job! Your time has been logged.");
const QString silentTitle = QStringLiteral("🔕 Silent Mode Activated");
const QString silentSubtitlePrefix = QStringLiteral("Until ");
const QString silentBody = QStringLiteral("Timer warnings paused. Focus on your work!");
const QString endFormat = QStringLiteral("HH:mm");
const QString bodyMarkupCapability = QStringLiteral("body-markup");
// The label of the default action, for servers that show actions as buttons.
const QString openActionLabel = QStringLiteral("Open Pendlow");
constexpr qsizetype rememberedWarningIds = 8;

// The sound hint every notification but the no-timer warning carries.
QVariantMap defaultSoundHints() {
    QVariantMap hints;
    hints.insert(soundHint, defaultSound);
    return hints;
}
} // namespace

NotificationService::NotificationService(QDBusConnection connection, QObject* parent,
                                         std::optional<QString> appIcon)
    : QObject(parent)
    , m_client(new DesktopNotificationClient(std::move(connection), this))
    , m_appIcon(std::move(appIcon)) {
    connect(m_client, &DesktopNotificationClient::actionInvoked, this, &NotificationService::onActionInvoked);
    connect(m_client, &DesktopNotificationClient::serverChanged, this, &NotificationService::forgetServer);
    connect(m_client, &DesktopNotificationClient::notificationClosed, this, [this](uint id, uint) {
        if (m_warningId == id) {
            m_warningId.reset();
        }
    });
    // The warning speaks of this instance: it goes when the application quits (also on SIGTERM or
    // SIGINT, which quit the event loop).
    if (QCoreApplication* application = QCoreApplication::instance()) {
        connect(application, &QCoreApplication::aboutToQuit, this, &NotificationService::withdrawAtQuit);
    }
}

void NotificationService::withdrawAtQuit() {
    if (m_warningInFlight) {
        m_warningWithdrawn = true;
    }
    if (const std::optional<uint> id = std::exchange(m_warningId, std::nullopt)) {
        // The event loop has ended: the call waits for its answer, so that it leaves before the process.
        if (!m_client->closeNotificationNow(*id, quitCallTimeoutMs)) {
            Log::debug(QStringLiteral("Closing the no-timer warning at quit failed"),
                       Log::Category::notification);
        }
    }
}

NotificationService::~NotificationService() = default;

NotificationService& NotificationService::shared() {
    static NotificationService* service =
        new NotificationService(QDBusConnection::sessionBus(), QCoreApplication::instance());
    return *service;
}

const QString& NotificationService::appIcon() {
    if (!m_appIcon) {
        m_appIcon = ApplicationIcon::notificationIcon();
    }
    return *m_appIcon;
}

void NotificationService::onActionInvoked(uint id, const QString& actionKey) {
    if (actionKey == defaultAction && m_warningIds.contains(id)) {
        emit openPopoverRequested();
    }
}

void NotificationService::forgetServer() {
    // A new server knows nothing of the old one's ids or capabilities.
    m_warningId.reset();
    m_warningIds.clear();
    m_bodyMarkup.reset();
}

QString NotificationService::shortenedTaskName(const QString& name) {
    return truncatedToCharacters(name, taskNameLimit);
}

QCoro::Task<bool> NotificationService::requestPermission() {
    try {
        const auto server = co_await m_client->serverInformation();
        Log::debug(QStringLiteral("Notification server: %1 %2").arg(server.name, server.version),
                   Log::Category::notification);
        co_return true;
    } catch (const std::exception& error) {
        Log::console(QStringLiteral("Notification permission error: ") + Error::describe(error));
    }
    co_return false;
}

QCoro::Task<bool> NotificationService::serverTakesMarkup() {
    if (!m_bodyMarkup) {
        QPointer<NotificationService> self(this);
        bool markup = false;
        try {
            const QStringList capabilities = co_await m_client->capabilities();
            markup = capabilities.contains(bodyMarkupCapability);
        } catch (const std::exception&) {
            // Notify reports the failure, if there is one.
            co_return false;
        }
        if (!self) {
            co_return markup;
        }
        m_bodyMarkup = markup;
    }
    co_return *m_bodyMarkup;
}

QCoro::Task<std::optional<uint>> NotificationService::post(QString title, QString subtitle, QString body,
                                                           QVariantMap hints, uint replacesId,
                                                           QStringList actions) {
    QPointer<NotificationService> self(this);
    const bool markup = co_await serverTakesMarkup();
    if (!self) {
        co_return std::nullopt;
    }
    QString text = subtitle.isEmpty() ? body : subtitle + QLatin1Char('\n') + body;
    if (markup) {
        // Servers that read markup would take "<" or "&" of a task name as markup.
        text = text.toHtmlEscaped();
    }
    DesktopNotification notification;
    notification.appName = appName;
    notification.appIcon = appIcon();
    notification.replacesId = replacesId;
    notification.actions = std::move(actions);
    notification.summary = title;
    notification.body = text;
    hints.insert(desktopEntryHint, desktopEntry);
    notification.hints = hints;
    try {
        co_return co_await m_client->notify(notification);
    } catch (const std::exception& error) {
        Log::console(QStringLiteral("Failed to send notification: ") + Error::describe(error));
    }
    co_return std::nullopt;
}

QCoro::Task<> NotificationService::sendNoTimerWarning() {
    QPointer<NotificationService> self(this);
    // One warning at a time, so that two quick sends cannot both create a notification.
    while (m_warningInFlight) {
        co_await qCoro(this, &NotificationService::noTimerWarningSettled);
        if (!self) {
            co_return;
        }
    }
    m_warningInFlight = true;
    m_warningWithdrawn = false;
    const QVariantMap hints{{urgencyHint, QVariant::fromValue(urgencyNormal)},
                            {categoryHint, noTimerCategory},
                            {soundHint, criticalSound}};
    QStringList actions{defaultAction, openActionLabel};
    const std::optional<uint> id = co_await post(noTimerTitle, noTimerSubtitle, noTimerBody, hints,
                                                 m_warningId.value_or(0), std::move(actions));
    if (!self) {
        co_return;
    }
    if (id && !m_warningIds.contains(*id)) {
        m_warningIds.append(*id);
        if (m_warningIds.size() > rememberedWarningIds) {
            m_warningIds.removeFirst();
        }
    }
    if (id && m_warningWithdrawn) {
        // Withdrawn while the server was still showing it: close it now.
        m_warningId.reset();
        try {
            co_await m_client->closeNotification(*id);
        } catch (const std::exception&) {
        }
        if (!self) {
            co_return;
        }
    } else if (id) {
        m_warningId = id;
    }
    m_warningInFlight = false;
    emit noTimerWarningSettled();
}

QCoro::Task<> NotificationService::sendTimerStarted(QString taskName) {
    QString subtitle = shortenedTaskName(taskName);
    QVariantMap hints = defaultSoundHints();
    co_await post(startedTitle, std::move(subtitle), startedBody, std::move(hints), 0);
}

QCoro::Task<> NotificationService::sendTimerStopped(QString durationText) {
    QString subtitle = stoppedSubtitlePrefix + durationText;
    QVariantMap hints = defaultSoundHints();
    co_await post(stoppedTitle, std::move(subtitle), stoppedBody, std::move(hints), 0);
}

QCoro::Task<> NotificationService::sendSilentModeActivated(QDateTime endDate) {
    const QString end = QLocale::c().toString(endDate.toLocalTime(), endFormat);
    QString subtitle = silentSubtitlePrefix + end;
    QVariantMap hints = defaultSoundHints();
    co_await post(silentTitle, std::move(subtitle), silentBody, std::move(hints), 0);
}

QCoro::Task<> NotificationService::removeNoTimerWarning() {
    if (m_warningInFlight) {
        m_warningWithdrawn = true;
    }
    if (const std::optional<uint> id = std::exchange(m_warningId, std::nullopt)) {
        try {
            co_await m_client->closeNotification(*id);
        } catch (const std::exception& error) {
            Log::debug(QStringLiteral("Closing the no-timer warning failed: ") + Error::describe(error),
                       Log::Category::notification);
        }
    }
}
