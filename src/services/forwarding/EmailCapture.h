#pragma once

#include "platform/ClientWindow.h"
#include "services/forwarding/EmailSource.h"
#include "services/forwarding/MailClient.h"

#include <QString>
#include <QUrl>

#include <optional>

class BrowserUrlSource;
class ClientWindowList;
class ClipboardTextSource;

// The e-mail open on the desktop: the most recently raised window that a known mail client claims
// (MailClient::known()), its subject taken from the window title.
//
// The link: for webmail the address the browser shows, when a browser-address source is given and
// the address is http(s); otherwise an http(s) address the user copied to the clipboard. The
// clipboard is only read, never cleared or written, and no keystrokes are sent to any window.
class EmailCapture : public EmailSource {
public:
    struct MailWindow {
        ClientWindow window;
        MailClient client;
    };

    // browserUrls may be null.
    EmailCapture(const ClientWindowList& windows, const ClipboardTextSource& clipboard,
                 const BrowserUrlSource* browserUrls = nullptr);

    std::optional<MailWindow> findMailWindow() const;

    std::optional<QString> getEmailSubject() override;
    std::optional<QString> getEmailLink() override;

    // The text as a link: trimmed of surrounding whitespace, an absolute http or https address with a
    // host and without inner whitespace; none otherwise.
    static std::optional<QString> linkFromText(const QString& text);

private:
    const ClientWindowList& m_windows;
    const ClipboardTextSource& m_clipboard;
    const BrowserUrlSource* m_browserUrls;
};
