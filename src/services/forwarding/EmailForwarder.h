#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class ForwardingClient;

// The popover's e-mail forward: sends the open e-mail through the forwarding service, reports the
// outcome with a text for the user, and opens the task the webhook created. GUI thread only.
class EmailForwarder : public QObject {
    Q_OBJECT

public:
    // Opens a web address for the user under a window title (the in-app browser).
    using PageOpener = std::function<void(const QUrl& url, const QString& title)>;

    // The wait between a successful forward and opening its task, in milliseconds.
    static constexpr int taskOpenDelayMs = 500;

    explicit EmailForwarder(PageOpener openPage, QObject* parent = nullptr);

    // None means forwarding is not available (the footer shows no button).
    void setService(ForwardingClient* service) { m_service = service; }
    ForwardingClient* service() const { return m_service; }

    // Forwards the open e-mail. On success logs "Email forwarded successfully to n8n" and, when the
    // webhook named an http(s) task address, opens it taskOpenDelayMs later under "ClickUp Task";
    // another address is logged and not opened. Either way finished reports the outcome with its own
    // text. Never throws.
    QCoro::Task<> forwardCurrentEmail();

Q_SIGNALS:
    // A forward ended: the text to show ("Email sent to n8n", or the error's description).
    void finished(const QString& text, bool succeeded);

private:
    PageOpener m_openPage;
    ForwardingClient* m_service = nullptr;
};
