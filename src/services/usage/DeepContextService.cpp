#include "services/usage/DeepContextService.h"

#include "core/AppCatalogue.h"
#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/BrowserTabSource.h"
#include "services/usage/MailSubjectSource.h"
#include "services/usage/PrivacyRedaction.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
constexpr auto category = Log::Category::deepContext;

void debug(const QString& message) {
    Log::debug(message, category);
}

// Where a browser's address comes from: Firefox's session file, the Chromium family's session files or
// DevTools endpoint, or nowhere on this desktop (Safari).
enum class BrowserKind { firefox, chromium, none };
// Where an e-mail client's subject comes from: Spark's window title, the Linux clients' title rules,
// or nowhere on this desktop (Apple Mail).
enum class EmailKind { sparkTitle, windowTitle, none };

struct Browser {
    QString name;
    BrowserKind kind;
};
struct EmailClient {
    QString name;
    EmailKind kind;
};

// The browsers and e-mail clients of the application catalogue, with the way each gives its context.
std::optional<Browser> browserOf(const QString& appId) {
    const AppCatalogue::App* known = AppCatalogue::find(appId);
    if (!known || known->kind != AppCatalogue::Kind::browser) {
        return std::nullopt;
    }
    switch (known->addressSource) {
    case AppCatalogue::AddressSource::firefoxSession:
        return Browser{known->name, BrowserKind::firefox};
    case AppCatalogue::AddressSource::notOnLinux:
        if (known->id.startsWith(u"com.apple.Safari"_s)) {
            return Browser{known->name, BrowserKind::none};
        }
        return Browser{known->name, BrowserKind::chromium};
    case AppCatalogue::AddressSource::chromiumSession:
    case AppCatalogue::AddressSource::none:
        return Browser{known->name, BrowserKind::chromium};
    }
    return std::nullopt;
}

std::optional<EmailClient> emailClientOf(const QString& appId) {
    const AppCatalogue::App* known = AppCatalogue::find(appId);
    if (!known || known->kind != AppCatalogue::Kind::mail) {
        return std::nullopt;
    }
    if (known->id == u"com.readdle.smartemail"_s || known->id == u"com.readdle.SparkDesktop"_s) {
        return EmailClient{known->name, EmailKind::sparkTitle};
    }
    if (known->id == u"com.apple.mail"_s) {
        return EmailClient{known->name, EmailKind::none};
    }
    // The Linux clients' window titles carry the subject.
    return EmailClient{known->name, EmailKind::windowTitle};
}

std::optional<QString> nonEmpty(const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}
} // namespace

DeepContextService::DeepContextService(const SettingsStore& settings, const PrivacyRedaction& privacy,
                                       Sources sources)
    : m_settings(settings)
    , m_privacy(privacy)
    , m_sources(sources) {}

std::optional<QString> DeepContextService::browserName(const QString& appId) {
    const std::optional<Browser> browser = browserOf(appId);
    return browser ? std::optional<QString>(browser->name) : std::nullopt;
}

std::optional<QString> DeepContextService::emailClientName(const QString& appId) {
    const std::optional<EmailClient> client = emailClientOf(appId);
    return client ? std::optional<QString>(client->name) : std::nullopt;
}

std::optional<QString> DeepContextService::sparkSubject(const QString& windowTitle) {
    QString subject = windowTitle;
    const qsizetype suffix = subject.lastIndexOf(u" - Spark"_s);
    if (suffix >= 0) {
        subject.truncate(suffix);
    }
    if (subject.isEmpty() || subject == u"Spark"_s || subject == u"Spark Desktop"_s) {
        return std::nullopt;
    }
    return subject;
}

QString DeepContextService::loggableUrl(const QString& url) const {
    const QUrl parsed(url);
    const QString host = parsed.host();
    if (host.isEmpty()) {
        return u"[Redacted]"_s;
    }
    if (m_privacy.shouldRedactURL(url)) {
        return host + u" [Redacted]"_s;
    }
    QString shown = parsed.scheme().isEmpty() ? host : parsed.scheme() + u"://"_s + host;
    if (!parsed.path(QUrl::FullyEncoded).isEmpty() && parsed.path() != u"/"_s) {
        shown += u"/…"_s;
    } else if (parsed.hasQuery() || parsed.hasFragment()) {
        shown += u"/…"_s;
    }
    return shown;
}

QString DeepContextService::loggableSubject(const QString& subject, const QString& appId) const {
    if (m_privacy.shouldRedactTitle(subject, appId)) {
        return u"[Redacted]"_s;
    }
    constexpr qsizetype shown = 24;
    return subject.size() > shown ? subject.left(shown) + u"…"_s : subject;
}

QCoro::Task<std::optional<DeepContext>> DeepContextService::getContext(QString appId, QString windowTitle) {
    if (!m_settings.isDeepContextEnabled()) {
        debug(u"Feature disabled in settings"_s);
        co_return std::nullopt;
    }
    debug(u"Getting context for: "_s + appId);
    if (const std::optional<QString> name = browserName(appId)) {
        debug(u"Detected browser: "_s + *name);
        const std::optional<QString> url = co_await browserURL(appId, windowTitle);
        if (url) {
            debug(u"Got URL: "_s + loggableUrl(*url));
            co_return DeepContext{url, std::nullopt, std::nullopt, std::nullopt};
        }
        debug(u"Failed to get URL from browser"_s);
        co_return std::nullopt;
    }
    if (const std::optional<QString> name = emailClientName(appId)) {
        debug(u"Detected email client: "_s + *name);
        const std::optional<QString> subject = emailSubject(appId, windowTitle);
        if (subject) {
            // The sender stays in the line as before; no source here knows one.
            debug(u"Got email context - subject: "_s + loggableSubject(*subject, appId) + u", sender: nil"_s);
            co_return DeepContext{std::nullopt, subject, std::nullopt, std::nullopt};
        }
        debug(u"Failed to get email context"_s);
        co_return std::nullopt;
    }
    debug(u"App not supported for deep context"_s);
    co_return std::nullopt;
}

QCoro::Task<std::optional<QString>> DeepContextService::browserURL(QString appId, QString windowTitle) {
    const std::optional<Browser> known = browserOf(appId);
    if (!known) {
        co_return std::nullopt;
    }
    const Browser browser = *known;
    BrowserTabSource* source = nullptr;
    switch (browser.kind) {
    case BrowserKind::firefox:
        source = m_sources.firefox;
        break;
    case BrowserKind::chromium:
        source = m_sources.chromium;
        break;
    case BrowserKind::none:
        break;
    }
    if (!source) {
        co_return std::nullopt;
    }
    const BrowserTab tab = co_await source->activeTab(windowTitle);
    if (!tab.found()) {
        debug(browser.name + u": "_s + tab.problem);
        co_return std::nullopt;
    }
    co_return nonEmpty(*tab.url);
}

std::optional<QString> DeepContextService::emailSubject(const QString& appId,
                                                        const QString& windowTitle) const {
    const std::optional<EmailClient> found = emailClientOf(appId);
    if (!found) {
        return std::nullopt;
    }
    switch (found->kind) {
    case EmailKind::sparkTitle:
        return sparkTitleSubject(windowTitle);
    case EmailKind::windowTitle:
        return m_sources.mail ? m_sources.mail->subjectFromTitle(appId, windowTitle) : std::nullopt;
    case EmailKind::none:
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> DeepContextService::sparkTitleSubject(const QString& windowTitle) const {
    const std::optional<QString> subject = sparkSubject(windowTitle);
    if (subject) {
        debug(u"Spark Desktop window title: "_s + loggableSubject(*subject, u"com.readdle.SparkDesktop"_s));
        return subject;
    }
    debug(u"Spark Desktop: No email context from window title"_s);
    return std::nullopt;
}
