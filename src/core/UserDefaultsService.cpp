#include "core/UserDefaultsService.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/PrivateFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kWorkingHoursSchedule = QStringLiteral("workingHoursSchedule");
const QString kSilentModeEnd = QStringLiteral("silentModeEnd");

// Whether a value read back from the file equals a value about to be written. The file gives text
// for what was written as a number or a boolean, so the stored value is compared in the new
// value's type.
bool sameValue(const QVariant& stored, const QVariant& value) {
    if (stored.metaType() == value.metaType()) {
        return stored == value;
    }
    QVariant converted = stored;
    return converted.convert(value.metaType()) && converted == value;
}
// The settings hold a user key and the names of the user's accounts: the file is the user's alone
// (0600, in a 0700 folder). Made so before the settings store writes it; the store replaces the file
// keeping these permissions.
void makePrivate(const QString& fileName) {
    PrivateFile::ensureFolder(QFileInfo(fileName).absolutePath());
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
}
} // namespace

UserDefaultsService::UserDefaultsService(const QString& fileName, QObject* parent)
    : QObject(parent)
    , m_fileName(fileName) {}

UserDefaultsService& UserDefaultsService::shared() {
    static UserDefaultsService* const instance = [] {
        auto* service = new UserDefaultsService(AppPaths::settingsFile());
        // The first user may be a worker thread (a log call); signals belong to the GUI thread.
        if (QCoreApplication* app = QCoreApplication::instance()) {
            service->moveToThread(app->thread());
        }
        return service;
    }();
    return *instance;
}

QString UserDefaultsService::fileName() const {
    return m_fileName;
}

QVariant UserDefaultsService::value(const QString& key, const QVariant& defaultValue) const {
    const QSettings settings(m_fileName, QSettings::IniFormat);
    return settings.value(key, defaultValue);
}

bool UserDefaultsService::contains(const QString& key) const {
    const QSettings settings(m_fileName, QSettings::IniFormat);
    return settings.contains(key);
}

void UserDefaultsService::setValue(const QString& key, const QVariant& value) {
    if (!value.isValid()) {
        remove(key);
        return;
    }
    {
        QSettings settings(m_fileName, QSettings::IniFormat);
        if (settings.contains(key) && sameValue(settings.value(key), value)) {
            return;
        }
        makePrivate(m_fileName);
        settings.setValue(key, value);
    }
    Q_EMIT settingChanged(key);
}

void UserDefaultsService::remove(const QString& key) {
    {
        QSettings settings(m_fileName, QSettings::IniFormat);
        if (!settings.contains(key)) {
            return;
        }
        makePrivate(m_fileName);
        settings.remove(key);
    }
    Q_EMIT settingChanged(key);
}

QString UserDefaultsService::readString(const QString& key, const QString& absent) const {
    const QVariant stored = value(key);
    if (!stored.isValid()) {
        return absent;
    }
    // A hand-edited value with an unquoted comma comes back from the INI reader as a list.
    if (stored.metaType().id() == QMetaType::QStringList) {
        return stored.toStringList().join(QLatin1Char(','));
    }
    return stored.toString();
}

bool UserDefaultsService::readBool(const QString& key, bool absent) const {
    const QVariant stored = value(key);
    return stored.isValid() ? stored.toBool() : absent;
}

int UserDefaultsService::readInt(const QString& key, int absentOrZero) const {
    const int stored = value(key).toInt();
    return stored == 0 ? absentOrZero : stored;
}

int UserDefaultsService::readInterval(const QString& key, int fallback, int lowest, int highest) const {
    bool isNumber = false;
    const qint64 stored = value(key).toLongLong(&isNumber);
    return isNumber && stored >= lowest && stored <= highest ? int(stored) : fallback;
}

QString UserDefaultsService::teamId() const {
    return readString(QStringLiteral("teamId"), QString());
}

void UserDefaultsService::setTeamId(const QString& value) {
    setValue(QStringLiteral("teamId"), value);
}

QString UserDefaultsService::toolsUrl() const {
    return readString(QStringLiteral("toolsUrl"), defaultToolsUrl);
}

void UserDefaultsService::setToolsUrl(const QString& value) {
    setValue(QStringLiteral("toolsUrl"), value);
}

QString UserDefaultsService::userKey() const {
    return readString(QStringLiteral("userKey"), QString());
}

void UserDefaultsService::setUserKey(const QString& value) {
    setValue(QStringLiteral("userKey"), value);
}

double UserDefaultsService::toolsTokenExpiry() const {
    return value(QStringLiteral("toolsTokenExpiry")).toDouble();
}

void UserDefaultsService::setToolsTokenExpiry(double value) {
    setValue(QStringLiteral("toolsTokenExpiry"), value);
}

QString UserDefaultsService::n8nEndpoint() const {
    return readString(QStringLiteral("n8nEndpoint"), QString());
}

void UserDefaultsService::setN8nEndpoint(const QString& value) {
    setValue(QStringLiteral("n8nEndpoint"), value);
}

QString UserDefaultsService::n8nPinnedCertificateSha256() const {
    return readString(QStringLiteral("n8nPinnedCertificateSha256"), QString());
}

void UserDefaultsService::setN8nPinnedCertificateSha256(const QString& value) {
    setValue(QStringLiteral("n8nPinnedCertificateSha256"), value);
}

QString UserDefaultsService::openAIModel() const {
    return readString(QStringLiteral("openAIModel"), QStringLiteral("gpt-4o-mini"));
}

void UserDefaultsService::setOpenAIModel(const QString& value) {
    setValue(QStringLiteral("openAIModel"), value);
}

bool UserDefaultsService::disableTimerWarning() const {
    return readBool(QStringLiteral("disableTimerWarning"), false);
}

void UserDefaultsService::setDisableTimerWarning(bool value) {
    setValue(QStringLiteral("disableTimerWarning"), value);
}

bool UserDefaultsService::lightMode() const {
    return readBool(QStringLiteral("lightMode"), false);
}

void UserDefaultsService::setLightMode(bool value) {
    setValue(QStringLiteral("lightMode"), value);
}

bool UserDefaultsService::useFloatingAlert() const {
    return readBool(QStringLiteral("useFloatingAlert"), true);
}

void UserDefaultsService::setUseFloatingAlert(bool value) {
    setValue(QStringLiteral("useFloatingAlert"), value);
}

bool UserDefaultsService::useToastAlert() const {
    return readBool(QStringLiteral("useToastAlert"), false);
}

void UserDefaultsService::setUseToastAlert(bool value) {
    setValue(QStringLiteral("useToastAlert"), value);
}

bool UserDefaultsService::useMenuBarPulsing() const {
    return readBool(QStringLiteral("useMenuBarPulsing"), true);
}

void UserDefaultsService::setUseMenuBarPulsing(bool value) {
    setValue(QStringLiteral("useMenuBarPulsing"), value);
}

int UserDefaultsService::timerReminderInterval() const {
    return readInterval(QStringLiteral("timerReminderInterval"), 60, 1, longestIntervalSeconds);
}

void UserDefaultsService::setTimerReminderInterval(int value) {
    setValue(QStringLiteral("timerReminderInterval"), value);
}

int UserDefaultsService::alertAutoDismissSeconds() const {
    // Only a missing key means 30: a stored 0 ("Never") and anything below 1 keep the alert open;
    // beyond a day is taken as a slip.
    bool isNumber = false;
    const qint64 seconds = value(QStringLiteral("alertAutoDismissSeconds")).toLongLong(&isNumber);
    return isNumber && seconds >= -longestIntervalSeconds && seconds <= longestIntervalSeconds ? int(seconds)
                                                                                               : 30;
}

void UserDefaultsService::setAlertAutoDismissSeconds(int value) {
    setValue(QStringLiteral("alertAutoDismissSeconds"), value);
}

bool UserDefaultsService::showActiveTimerReminder() const {
    return readBool(QStringLiteral("showActiveTimerReminder"), true);
}

void UserDefaultsService::setShowActiveTimerReminder(bool value) {
    setValue(QStringLiteral("showActiveTimerReminder"), value);
}

int UserDefaultsService::activeTimerReminderInterval() const {
    return readInterval(QStringLiteral("activeTimerReminderInterval"), 30, 1, longestIntervalSeconds / 60);
}

void UserDefaultsService::setActiveTimerReminderInterval(int value) {
    setValue(QStringLiteral("activeTimerReminderInterval"), value);
}

bool UserDefaultsService::workingHoursEnabled() const {
    return readBool(QStringLiteral("workingHoursEnabled"), false);
}

void UserDefaultsService::setWorkingHoursEnabled(bool value) {
    setValue(QStringLiteral("workingHoursEnabled"), value);
}

bool UserDefaultsService::isAppUsageTrackingEnabled() const {
    return readBool(QStringLiteral("isAppUsageTrackingEnabled"), false);
}

void UserDefaultsService::setIsAppUsageTrackingEnabled(bool value) {
    setValue(QStringLiteral("isAppUsageTrackingEnabled"), value);
}

bool UserDefaultsService::isWindowTitleTrackingEnabled() const {
    return readBool(QStringLiteral("isWindowTitleTrackingEnabled"), true);
}

void UserDefaultsService::setIsWindowTitleTrackingEnabled(bool value) {
    setValue(QStringLiteral("isWindowTitleTrackingEnabled"), value);
}

bool UserDefaultsService::isDeepContextEnabled() const {
    return readBool(QStringLiteral("isDeepContextEnabled"), true);
}

void UserDefaultsService::setIsDeepContextEnabled(bool value) {
    setValue(QStringLiteral("isDeepContextEnabled"), value);
}

bool UserDefaultsService::showAppUsageInMenu() const {
    return readBool(QStringLiteral("showAppUsageInMenu"), true);
}

void UserDefaultsService::setShowAppUsageInMenu(bool value) {
    setValue(QStringLiteral("showAppUsageInMenu"), value);
}

int UserDefaultsService::appUsageRetentionDays() const {
    return readInt(QStringLiteral("appUsageRetentionDays"), 30);
}

void UserDefaultsService::setAppUsageRetentionDays(int value) {
    setValue(QStringLiteral("appUsageRetentionDays"), value);
}

int UserDefaultsService::windowTitleCaptureInterval() const {
    return readInterval(QStringLiteral("windowTitleCaptureInterval"), 30, 1, longestIntervalSeconds);
}

void UserDefaultsService::setWindowTitleCaptureInterval(int value) {
    setValue(QStringLiteral("windowTitleCaptureInterval"), value);
}

int UserDefaultsService::activityBlockGapMinutes() const {
    return readInt(QStringLiteral("activityBlockGapMinutes"), 15);
}

void UserDefaultsService::setActivityBlockGapMinutes(int value) {
    setValue(QStringLiteral("activityBlockGapMinutes"), value);
}

QStringList UserDefaultsService::excludedAppsFromTracking() const {
    return value(QStringLiteral("excludedAppsFromTracking")).toStringList();
}

void UserDefaultsService::setExcludedAppsFromTracking(const QStringList& value) {
    setValue(QStringLiteral("excludedAppsFromTracking"), value);
}

QStringList UserDefaultsService::privacyRedactionKeywords() const {
    return value(QStringLiteral("privacyRedactionKeywords")).toStringList();
}

void UserDefaultsService::setPrivacyRedactionKeywords(const QStringList& value) {
    setValue(QStringLiteral("privacyRedactionKeywords"), value);
}

QStringList UserDefaultsService::privacyAlwaysRedactApps() const {
    return value(QStringLiteral("privacyAlwaysRedactApps")).toStringList();
}

void UserDefaultsService::setPrivacyAlwaysRedactApps(const QStringList& value) {
    setValue(QStringLiteral("privacyAlwaysRedactApps"), value);
}

bool UserDefaultsService::useDefaultBrowser() const {
    return readBool(QStringLiteral("useDefaultBrowser"), false);
}

void UserDefaultsService::setUseDefaultBrowser(bool value) {
    setValue(QStringLiteral("useDefaultBrowser"), value);
}

int UserDefaultsService::popupBrowserWidth() const {
    return readInt(QStringLiteral("popupBrowserWidth"), 900);
}

void UserDefaultsService::setPopupBrowserWidth(int value) {
    setValue(QStringLiteral("popupBrowserWidth"), value);
}

int UserDefaultsService::popupBrowserHeight() const {
    return readInt(QStringLiteral("popupBrowserHeight"), 700);
}

void UserDefaultsService::setPopupBrowserHeight(int value) {
    setValue(QStringLiteral("popupBrowserHeight"), value);
}

bool UserDefaultsService::debugLoggingEnabled() const {
    return readBool(QStringLiteral("debugLoggingEnabled"), false);
}

void UserDefaultsService::setDebugLoggingEnabled(bool value) {
    setValue(QStringLiteral("debugLoggingEnabled"), value);
}

QMap<int, WorkDaySchedule> UserDefaultsService::workingHoursSchedule() const {
    const QVariant stored = value(kWorkingHoursSchedule);
    if (!stored.isValid()) {
        return WorkDaySchedule::defaultWeek();
    }
    const QByteArray json =
        stored.metaType().id() == QMetaType::QByteArray ? stored.toByteArray() : stored.toString().toUtf8();
    return WorkDaySchedule::decodeWeek(json).value_or(WorkDaySchedule::defaultWeek());
}

void UserDefaultsService::setWorkingHoursSchedule(const QMap<int, WorkDaySchedule>& value) {
    setValue(kWorkingHoursSchedule, QString::fromUtf8(WorkDaySchedule::encodeWeek(value)));
}

std::optional<QDateTime> UserDefaultsService::silentModeEnd() const {
    const QVariant stored = value(kSilentModeEnd);
    QDateTime end;
    if (stored.metaType().id() == QMetaType::QDateTime) {
        end = stored.toDateTime();
    } else if (stored.metaType().id() == QMetaType::QString) {
        end = QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
    }
    if (!end.isValid()) {
        return std::nullopt;
    }
    return end.toLocalTime();
}

void UserDefaultsService::setSilentModeEnd(const std::optional<QDateTime>& value) {
    if (!value || !value->isValid()) {
        remove(kSilentModeEnd);
        return;
    }
    const QDateTime withOffset = value->toOffsetFromUtc(value->offsetFromUtc());
    setValue(kSilentModeEnd, withOffset.toString(Qt::ISODateWithMs));
}

bool UserDefaultsService::isWithinWorkingHours() const {
    if (!workingHoursEnabled()) {
        return true;
    }
    const QDateTime now = Clock::now();
    const int dayIndex = now.date().dayOfWeek() % 7; // Qt counts Monday 1 ... Sunday 7
    const QMap<int, WorkDaySchedule> week = workingHoursSchedule();
    const auto day = week.constFind(dayIndex);
    if (day == week.cend() || !day->isEnabled) {
        return false;
    }
    const int minute = now.time().hour() * 60 + now.time().minute();
    const int start = day->startHour * 60 + day->startMinute;
    const int end = day->endHour * 60 + day->endMinute;
    return minute >= start && minute < end;
}
