#include "app/Log.h"

#include "app/Error.h"
#include "platform/AppPaths.h"

#include <QMutex>
#include <QSettings>

#include <cstdio>

// Minimal first version: lines go to stderr only. The debug switch is read from the settings file.

namespace {
QMutex& sinkMutex() {
    static QMutex mutex;
    return mutex;
}

Log::Sink& sink() {
    static Log::Sink instance;
    return instance;
}

bool debugEnabled() {
    QSettings settings(AppPaths::settingsFile(), QSettings::IniFormat);
    return settings.value(QStringLiteral("debugLoggingEnabled")).toBool();
}

const char* levelName(Log::Level level) {
    switch (level) {
    case Log::Level::debug:
        return "debug";
    case Log::Level::info:
        return "info";
    case Log::Level::notice:
        return "notice";
    case Log::Level::error:
        return "error";
    }
    return "";
}

void write(Log::Level level, Log::Category category, const QString& text) {
    const QString line = QStringLiteral("[%1] %2").arg(Log::rawValue(category), text);
    QMutexLocker locker(&sinkMutex());
    if (sink()) {
        sink()(level, category, line);
        return;
    }
    std::fprintf(stderr, "%s %s\n", levelName(level), line.toUtf8().constData());
}
} // namespace

QString Log::rawValue(Category category) {
    switch (category) {
    case Category::api:
        return QStringLiteral("API");
    case Category::timer:
        return QStringLiteral("Timer");
    case Category::appUsage:
        return QStringLiteral("AppUsage");
    case Category::accessibility:
        return QStringLiteral("Accessibility");
    case Category::deepContext:
        return QStringLiteral("DeepContext");
    case Category::storage:
        return QStringLiteral("Storage");
    case Category::keychain:
        return QStringLiteral("Keychain");
    case Category::ui:
        return QStringLiteral("UI");
    case Category::notification:
        return QStringLiteral("Notification");
    case Category::general:
        return QStringLiteral("General");
    }
    return {};
}

std::optional<Log::Category> Log::categoryFromRawValue(const QString& value) {
    for (Category category :
         {Category::api, Category::timer, Category::appUsage, Category::accessibility, Category::deepContext,
          Category::storage, Category::keychain, Category::ui, Category::notification, Category::general}) {
        if (rawValue(category) == value) {
            return category;
        }
    }
    return std::nullopt;
}

void Log::info(const QString& message, Category category) {
    if (debugEnabled()) {
        write(Level::info, category, message);
    }
}

void Log::debug(const QString& message, Category category) {
    if (debugEnabled()) {
        write(Level::debug, category, message);
    }
}

void Log::warning(const QString& message, Category category) {
    write(Level::error, category, message);
}

void Log::error(const QString& message, Category category) {
    write(Level::error, category, message);
}

void Log::error(const QString& message, Category category, const std::exception& error) {
    write(Level::error, category, message + QStringLiteral(": ") + Error::describe(error));
}

void Log::notice(const QString& message, Category category) {
    write(Level::notice, category, message);
}

QString Log::redacted(const QString& secret) {
    return secret.isEmpty() ? QStringLiteral("<none>") : QStringLiteral("<redacted>");
}

void Log::setSinkForTesting(Sink newSink) {
    QMutexLocker locker(&sinkMutex());
    sink() = std::move(newSink);
}
