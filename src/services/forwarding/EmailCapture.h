#pragma once

#include "platform/ClientWindow.h"
#include "services/forwarding/EmailCaptureProtocol.h"
#include "services/forwarding/MailClient.h"

#include <QString>
#include <QUrl>

#include <optional>

class BrowserUrlSourceProtocol;
class ClientWindowListProtocol;
class ClipboardTextSourceProtocol;

// The e-mail open on the desktop: the most recently raised window that a known mail client claims
// (MailClient::known()), its subject taken from the window title.
//
// The link: for webmail the address the browser shows, when a browser-address source is given and
// the address is http(s); otherwise an http(s) address the user copied to the clipboard. The
// clipboard is only read, never cleared or written, and no keystrokes are sent to any window.
class EmailCapture : public EmailCaptureProtocol {
public:
    struct MailWindow {
        ClientWindow window;
        MailClient client;
    };

    // browserUrls may be null.
    EmailCapture(const ClientWindowListProtocol& windows, const ClipboardTextSourceProtocol& clipboard,
                 const BrowserUrlSourceProtocol* browserUrls = nullptr);

    std::optional<MailWindow> findMailWindow() const;

    std::optional<QString> getEmailSubject() override;
    std::optional<QString> getEmailLink() override;

    // The text as a link: trimmed of surrounding whitespace, an absolute http or https address with a
    // host and without inner whitespace; none otherwise.
    static std::optional<QString> linkFromText(const QString& text);

private:
    const ClientWindowListProtocol& m_windows;
    const ClipboardTextSourceProtocol& m_clipboard;
    const BrowserUrlSourceProtocol* m_browserUrls;
};
