#pragma once

#include <QCoroTask>
#include <QString>

#include <optional>

// E-mail forwarding as the root state and the popover use it.
class ForwardingClient {
public:
    virtual ~ForwardingClient() = default;

    // A webhook address is stored (not empty; blanks count).
    virtual bool isConfigured() const = 0;
    // Sends the open e-mail to the webhook; the created task's address, or none when the webhook
    // named no task. Throws EmailForwardingError, or TransportError for a broken connection.
    virtual QCoro::Task<std::optional<QString>> forwardCurrentEmail() = 0;
};
