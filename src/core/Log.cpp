#include "core/Log.h"

#include "core/Error.h"
#include "core/SystemJournal.h"

#include <QList>
#include <QMutex>
#include <QStringList>

#include <atomic>

#include <algorithm>
#include <cstdio>
#include <utility>

#include <syslog.h>

namespace {
const QString kRedacted = QStringLiteral("<redacted>");
constexpr qsizetype kShortestSecret = 4;
// A fragment this long at the start of a secret is masked too (lines that show a token's first
// characters).
constexpr qsizetype kSecretPrefix = 8;

struct Output {
    QMutex mutex;
    Log::Sink sink;
};

Output& output() {
    static Output instance;
    return instance;
}

struct Secrets {
    QMutex mutex;
    QStringList values;
};

Secrets& secrets() {
    static Secrets instance;
    return instance;
}

std::atomic<bool> debugSwitch{false};

bool debugEnabled() {
    return debugSwitch.load(std::memory_order_relaxed);
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

int journalPriority(Log::Level level) {
    switch (level) {
    case Log::Level::debug:
        return LOG_DEBUG;
    case Log::Level::info:
        return LOG_INFO;
    case Log::Level::notice:
        return LOG_NOTICE;
    case Log::Level::error:
        return LOG_ERR;
    }
    return LOG_ERR;
}

QString maskSecrets(const QString& line) {
    // Every stretch of the line that a secret, or a long enough start of one, covers; overlapping
    // stretches are masked as one.
    QList<std::pair<qsizetype, qsizetype>> stretches; // begin, end
    {
        Secrets& store = secrets();
        QMutexLocker locker(&store.mutex);
        for (const QString& secret : std::as_const(store.values)) {
            const QString start = secret.left(kSecretPrefix);
            for (qsizetype from = line.indexOf(start); from >= 0; from = line.indexOf(start, from + 1)) {
                qsizetype end = from + start.size();
                while (end < line.size() && end - from < secret.size() && line[end] == secret[end - from]) {
                    ++end;
                }
                stretches.append({from, end});
            }
        }
    }
    if (stretches.isEmpty()) {
        return line;
    }
    std::sort(stretches.begin(), stretches.end());
    QString masked;
    qsizetype copied = 0;
    for (qsizetype i = 0; i < stretches.size();) {
        const qsizetype begin = stretches[i].first;
        qsizetype end = stretches[i].second;
        for (++i; i < stretches.size() && stretches[i].first < end; ++i) {
            end = std::max(end, stretches[i].second);
        }
        masked += QStringView(line).mid(copied, begin - copied);
        masked += kRedacted;
        copied = end;
    }
    masked += QStringView(line).mid(copied);
    return masked;
}

void write(Log::Level level, Log::Category category, const QString& text) {
    const QString line = maskSecrets(QStringLiteral("[%1] %2").arg(Log::rawValue(category), text));
    Output& out = output();
    QMutexLocker locker(&out.mutex);
    if (out.sink) {
        out.sink(level, category, line);
        return;
    }
    // Under systemd, standard error may already be a journal stream: the native entry is enough.
    if (!SystemJournal::isStandardErrorJournal()) {
        std::fprintf(stderr, "%s %s\n", levelName(level), line.toUtf8().constData());
    }
    SystemJournal::send(journalPriority(level), Log::rawValue(category), line);
}
} // namespace

bool Log::isDebugEnabled() {
    return debugEnabled();
}

void Log::setDebugEnabled(bool enabled) {
    debugSwitch.store(enabled, std::memory_order_relaxed);
}

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

void Log::console(const QString& line, Stream stream) {
    const QByteArray bytes = maskSecrets(line).toUtf8() + '\n';
    std::FILE* file = stream == Stream::standardOutput ? stdout : stderr;
    Output& out = output();
    QMutexLocker locker(&out.mutex);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
    std::fflush(file);
}

QString Log::redacted(const QString& secret) {
    return secret.isEmpty() ? QStringLiteral("<none>") : kRedacted;
}

QString Log::masked(const QString& text) {
    return maskSecrets(text);
}

void Log::registerSecret(const QString& secret) {
    if (secret.size() < kShortestSecret) {
        return;
    }
    Secrets& store = secrets();
    QMutexLocker locker(&store.mutex);
    if (!store.values.contains(secret)) {
        store.values.append(secret);
    }
}

void Log::setSinkForTesting(Sink newSink) {
    Output& out = output();
    QMutexLocker locker(&out.mutex);
    out.sink = std::move(newSink);
}
