#include "services/usage/DeepContextService.h"

#include "core/AppCatalogue.h"
#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/BrowserTabSource.h"
#include "services/usage/MailSubjectSource.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/ScriptRunner.h"
#include "services/usage/WindowTitleCapture.h"

#include <QHash>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
constexpr auto category = Log::Category::deepContext;

void debug(const QString& message) {
    Log::debug(message, category);
}

enum class BrowserKind { activeTab, frontDocument, firefox };
enum class EmailKind { generic, sparkDesktop, mail, windowTitle };

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
            return Browser{known->name, BrowserKind::frontDocument};
        }
        return Browser{known->name, BrowserKind::activeTab};
    case AppCatalogue::AddressSource::chromiumSession:
    case AppCatalogue::AddressSource::none:
        return Browser{known->name, BrowserKind::activeTab};
    }
    return std::nullopt;
}

std::optional<EmailClient> emailClientOf(const QString& appId) {
    const AppCatalogue::App* known = AppCatalogue::find(appId);
    if (!known || known->kind != AppCatalogue::Kind::mail) {
        return std::nullopt;
    }
    if (known->id == u"com.readdle.smartemail"_s) {
        return EmailClient{known->name, EmailKind::generic};
    }
    if (known->id == u"com.readdle.SparkDesktop"_s) {
        return EmailClient{known->name, EmailKind::sparkDesktop};
    }
    if (known->id == u"com.apple.mail"_s) {
        return EmailClient{known->name, EmailKind::mail};
    }
    // The Linux clients' window titles carry the subject.
    return EmailClient{known->name, EmailKind::windowTitle};
}

const QString prefix = u"tell application \""_s;

QString lines(std::initializer_list<const char16_t*> parts) {
    QStringList joined;
    for (const char16_t* part : parts) {
        joined.append(QString::fromUtf16(part));
    }
    return joined.join(u'\n');
}

std::optional<QString> nonEmpty(const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

// The parts of a "|||"-joined answer; the part at index when there is one and it is not empty.
std::optional<QString> part(const QStringList& parts, qsizetype index) {
    return index < parts.size() ? nonEmpty(parts[index]) : std::nullopt;
}
} // namespace

DeepContextService::DeepContextService(const SettingsStore& settings, ScriptRunner& scripts,
                                       const PrivacyRedaction& privacy, Sources sources)
    : m_settings(settings)
    , m_scripts(scripts)
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

QString DeepContextService::frontDocumentScript(const QString& applicationName) {
    return prefix + applicationName +
           lines({u"\"", u"    try", u"        if (count of documents) > 0 then",
                  u"            return URL of front document", u"        end if", u"    on error",
                  u"        return \"\"", u"    end try", u"end tell"});
}

QString DeepContextService::activeTabScript(const QString& applicationName) {
    return prefix + applicationName +
           lines({u"\"", u"    try", u"        if (count of windows) > 0 then",
                  u"            return URL of active tab of front window", u"        end if", u"    on error",
                  u"        return \"\"", u"    end try", u"end tell"});
}

QString DeepContextService::genericEmailScript(const QString& applicationName) {
    return prefix + applicationName +
           lines({u"\"",
                  u"    try",
                  u"        set theSelection to selection",
                  u"        if (count of theSelection) > 0 then",
                  u"            set theMessage to item 1 of theSelection",
                  u"            set theSubject to subject of theMessage",
                  u"            set theSender to sender of theMessage",
                  u"            -- Return as delimited string: subject|||sender",
                  u"            return theSubject & \"|||\" & theSender",
                  u"        end if",
                  u"    on error errMsg",
                  u"        -- Fallback: try to get just subject",
                  u"        try",
                  u"            set theSelection to selection",
                  u"            if (count of theSelection) > 0 then",
                  u"                return subject of item 1 of theSelection & \"|||\"",
                  u"            end if",
                  u"        on error",
                  u"            return \"\"",
                  u"        end try",
                  u"    end try",
                  u"end tell"});
}

QString DeepContextService::mailScript() {
    return lines({u"tell application \"Mail\"", u"    try", u"        set theSelection to selection",
                  u"        if (count of theSelection) > 0 then",
                  u"            set theMessage to item 1 of theSelection",
                  u"            set theSubject to subject of theMessage",
                  u"            set theSender to sender of theMessage",
                  u"            set theMailbox to name of mailbox of theMessage",
                  u"            -- Return as delimited string: subject|||sender|||mailbox",
                  u"            return theSubject & \"|||\" & theSender & \"|||\" & theMailbox",
                  u"        end if", u"    on error", u"        return \"\"", u"    end try", u"end tell"});
}

QString DeepContextService::sparkDesktopScript() {
    return lines(
        {u"tell application \"System Events\"", u"    tell process \"Spark Desktop\"", u"        try",
         u"            -- Just get window title - this is fast and often contains email subject",
         u"            set winTitle to name of front window",
         u"            if winTitle is not missing value and winTitle is not \"\" then",
         u"                return winTitle", u"            end if", u"            return \"\"",
         u"        on error", u"            return \"\"", u"        end try", u"    end tell", u"end tell"});
}

QString DeepContextService::chromeURLScript() {
    return prefix + u"Google Chrome"_s +
           lines({u"\"", u"    try", u"        if (count of windows) > 0 then",
                  u"            return URL of active tab of front window", u"        else",
                  u"            return \"NO_WINDOW\"", u"        end if", u"    on error errMsg",
                  u"        return \"ERROR:\" & errMsg", u"    end try", u"end tell"});
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
        const std::optional<EmailAnswer> email = emailContext(appId, windowTitle);
        if (email) {
            debug(u"Got email context - subject: "_s +
                  (email->subject ? loggableSubject(*email->subject, appId) : u"nil"_s) + u", sender: "_s +
                  (email->sender ? WindowTitleCapture::senderName(*email->sender) : u"nil"_s));
            co_return DeepContext{std::nullopt, email->subject, email->sender, email->mailbox};
        }
        debug(u"Failed to get email context"_s);
        co_return std::nullopt;
    }
    debug(u"App not supported for deep context"_s);
    co_return std::nullopt;
}

std::optional<QString> DeepContextService::runAppleScript(const QString& script) {
    const ScriptOutcome outcome = m_scripts.run(script);
    if (!outcome.compiled) {
        Log::error(u"Failed to create AppleScript"_s, category);
        return std::nullopt;
    }
    if (outcome.failure) {
        const int number = outcome.failure->number.value_or(0);
        const QString message = outcome.failure->message.value_or(u"Unknown error"_s);
        switch (number) {
        case -1743:
            Log::warning(u"Automation permission denied - grant in System Settings > Privacy > Automation"_s,
                         category);
            break;
        case -1712:
            Log::warning(u"AppleScript timed out"_s, category);
            break;
        case -1728:
            debug(u"App not running or no window open"_s);
            break;
        case -609:
            debug(u"Connection invalid - app may have quit"_s);
            break;
        case -600:
            debug(u"Application not found"_s);
            break;
        default:
            debug(u"AppleScript error %1: %2"_s.arg(number).arg(message));
            break;
        }
        return std::nullopt;
    }
    if (!outcome.value || outcome.value->isEmpty()) {
        return std::nullopt;
    }
    return outcome.value;
}

QCoro::Task<std::optional<QString>> DeepContextService::browserURL(QString appId, QString windowTitle) {
    const std::optional<Browser> known = browserOf(appId);
    if (!known) {
        co_return std::nullopt;
    }
    const Browser browser = *known;
    BrowserTabSource* fallback = nullptr;
    switch (browser.kind) {
    case BrowserKind::firefox:
        // Firefox answers no script; its session file does.
        fallback = m_sources.firefox;
        break;
    case BrowserKind::frontDocument:
        co_return runAppleScript(frontDocumentScript(browser.name));
    case BrowserKind::activeTab:
        if (std::optional<QString> url = runAppleScript(activeTabScript(browser.name))) {
            co_return url;
        }
        fallback = m_sources.chromium;
        break;
    }
    if (!fallback) {
        co_return std::nullopt;
    }
    const BrowserTab tab = co_await fallback->activeTab(windowTitle);
    if (!tab.found()) {
        debug(browser.name + u": "_s + tab.problem);
        co_return std::nullopt;
    }
    co_return nonEmpty(*tab.url);
}

std::optional<DeepContextService::EmailAnswer> DeepContextService::emailContext(const QString& appId,
                                                                                const QString& windowTitle) {
    const std::optional<EmailClient> found = emailClientOf(appId);
    if (!found) {
        return std::nullopt;
    }
    switch (found->kind) {
    case EmailKind::generic:
        if (std::optional<EmailAnswer> answer = genericEmailContext(found->name)) {
            return answer;
        }
        // Without scripts Spark's window title still names the e-mail.
        return sparkDesktopContext(windowTitle, false);
    case EmailKind::sparkDesktop:
        return sparkDesktopContext(windowTitle, true);
    case EmailKind::mail:
        return mailContext();
    case EmailKind::windowTitle:
        if (!m_sources.mail) {
            return std::nullopt;
        }
        if (const std::optional<QString> subject = m_sources.mail->subjectFromTitle(appId, windowTitle)) {
            return EmailAnswer{subject, std::nullopt, std::nullopt};
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<DeepContextService::EmailAnswer>
DeepContextService::genericEmailContext(const QString& applicationName) {
    const std::optional<QString> answer = runAppleScript(genericEmailScript(applicationName));
    if (!answer) {
        return std::nullopt;
    }
    const QStringList parts = answer->split(u"|||"_s);
    return EmailAnswer{part(parts, 0), part(parts, 1), std::nullopt};
}

std::optional<DeepContextService::EmailAnswer>
DeepContextService::sparkDesktopContext(const QString& windowTitle, bool askSystemEvents) {
    std::optional<QString> title = askSystemEvents ? runAppleScript(sparkDesktopScript()) : std::nullopt;
    if (!title) {
        // No scripts: the title of the window in front is the same text.
        title = nonEmpty(windowTitle);
    }
    const std::optional<QString> subject = title ? sparkSubject(*title) : std::nullopt;
    if (subject) {
        debug(u"Spark Desktop window title: "_s + loggableSubject(*subject, u"com.readdle.SparkDesktop"_s));
        return EmailAnswer{subject, std::nullopt, std::nullopt};
    }
    debug(u"Spark Desktop: No email context from window title"_s);
    return std::nullopt;
}

std::optional<DeepContextService::EmailAnswer> DeepContextService::mailContext() {
    const std::optional<QString> answer = runAppleScript(mailScript());
    if (!answer) {
        return std::nullopt;
    }
    const QStringList parts = answer->split(u"|||"_s);
    return EmailAnswer{part(parts, 0), part(parts, 1), part(parts, 2)};
}

DeepContextService::ChromeURLResult DeepContextService::getChromeURL() {
    if (!m_scripts.runningAppIds().contains(u"com.google.Chrome"_s)) {
        return {false, std::nullopt, u"Chrome is not running"_s};
    }
    const ScriptOutcome outcome = m_scripts.run(chromeURLScript());
    if (!outcome.compiled) {
        return {false, std::nullopt, u"Failed to create AppleScript"_s};
    }
    if (outcome.failure) {
        const int number = outcome.failure->number.value_or(0);
        if (number == -1743) {
            return {
                false, std::nullopt,
                u"Automation permission denied. Grant in System Settings > Privacy & Security > Automation"_s};
        }
        return {false, std::nullopt,
                u"Error %1: %2"_s.arg(number).arg(outcome.failure->message.value_or(u"Unknown error"_s))};
    }
    if (!outcome.value) {
        return {false, std::nullopt, u"No result from Chrome"_s};
    }
    if (*outcome.value == u"NO_WINDOW"_s) {
        return {false, std::nullopt, u"Chrome has no open windows"_s};
    }
    if (outcome.value->startsWith(u"ERROR:"_s)) {
        return {false, std::nullopt, outcome.value->mid(6)};
    }
    return {true, outcome.value, std::nullopt};
}
