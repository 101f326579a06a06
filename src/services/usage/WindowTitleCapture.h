#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>

// One captured window title of the application in front, with what was known about its content at
// that moment: the address of the front browser tab, the subject, sender and mailbox of the front
// e-mail. A redacted capture stores "[Redacted]" as its title.
struct WindowTitleCapture {
    QUuid id;
    QString title;
    QDateTime capturedAt;
    bool isRedacted = false;
    std::optional<QString> url;
    std::optional<QString> emailSubject;
    std::optional<QString> emailSender;
    std::optional<QString> emailMailbox;

    bool operator==(const WindowTitleCapture& other) const = default;

    // One line describing the capture: "host: tab title" for a browser address, "[mailbox] sender:
    // subject" for an e-mail, else the cleaned title. None for a redacted capture.
    std::optional<QString> contextString() const;
    // The tab's own title: the part before the first " - ", " | " or " – " when it is longer than
    // two characters and not "New Tab".
    std::optional<QString> tabTitle() const;
    // The title reduced to what names the work (file, project, channel, page) by per-application
    // rules; none when fewer than three characters are left.
    std::optional<QString> cleanedTitle() const;
    // The e-mail line "[mailbox] sender: subject" (mailbox and sender only when present); none
    // without a subject.
    std::optional<QString> emailLine() const;

    // The title without the application's own name, which Linux programs put at its end
    // ("Docs — Mozilla Firefox", "Inbox - Chromium") or start ("xterm: ~"): the known applications'
    // names and ids (but editors', which cleanedTitle's own rules read), "Mozilla " before a name, and
    // the given name of the application itself. A title
    // that is nothing but the name is left as it is.
    static QStringView withoutApplicationName(QStringView title, QStringView applicationName = {});
    // "Ann Lee <ann@example.org>" gives "Ann Lee"; any other text comes back unchanged.
    static QString senderName(const QString& sender);
};
