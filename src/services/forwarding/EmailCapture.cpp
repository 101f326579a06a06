#include "services/forwarding/EmailCapture.h"

#include "core/Log.h"
#include "platform/BrowserUrlSource.h"
#include "platform/ClientWindowList.h"
#include "platform/ClipboardTextSource.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr auto category = Log::Category::api;
}

EmailCapture::EmailCapture(const ClientWindowList& windows, const ClipboardTextSource& clipboard,
                           const BrowserUrlSource* browserUrls)
    : m_windows(windows)
    , m_clipboard(clipboard)
    , m_browserUrls(browserUrls) {}

std::optional<EmailCapture::MailWindow> EmailCapture::findMailWindow() const {
    const QList<ClientWindow> windows = m_windows.clientWindowsByStacking();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (std::optional<MailClient> client = MailClient::forWindow(*it)) {
            return MailWindow{*it, *client};
        }
    }
    return std::nullopt;
}

std::optional<QString> EmailCapture::getEmailSubject() {
    const std::optional<MailWindow> found = findMailWindow();
    if (!found) {
        Log::debug(u"No mail client window found"_s, category);
        return std::nullopt;
    }
    Log::debug(u"Mail window of "_s + found->client.name, category);
    return found->client.subjectFromTitle(found->window.title);
}

std::optional<QString> EmailCapture::getEmailLink() {
    const std::optional<MailWindow> found = findMailWindow();
    if (found && found->client.isWebmail && m_browserUrls) {
        if (const std::optional<QUrl> url = m_browserUrls->currentUrl(found->window)) {
            if (std::optional<QString> link = linkFromText(url->toString(QUrl::FullyEncoded))) {
                Log::info(u"Took the email link from the browser"_s, category);
                return link;
            }
        }
    }
    const std::optional<QString> text = m_clipboard.clipboardText();
    if (!text || text->trimmed().isEmpty()) {
        Log::warning(u"Clipboard is empty - copy the email's link first"_s, category);
        return std::nullopt;
    }
    std::optional<QString> link = linkFromText(*text);
    if (!link) {
        // The clipboard's content stays out of the log: it may be anything the user copied.
        Log::warning(u"Clipboard holds no web address (http or https)"_s, category);
        return std::nullopt;
    }
    Log::info(u"Took the email link from the clipboard"_s, category);
    return link;
}

std::optional<QString> EmailCapture::linkFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (!(trimmed.startsWith(u"http://"_s) || trimmed.startsWith(u"https://"_s))) {
        return std::nullopt;
    }
    if (std::any_of(trimmed.cbegin(), trimmed.cend(),
                    [](QChar c) { return c.isSpace() || c.unicode() < 0x20; })) {
        return std::nullopt;
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return trimmed;
}
