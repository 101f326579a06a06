#pragma once

#include "services/tools/TokenResponse.h"

#include <QObject>

#include <exception>
#include <optional>

// One token refresh under way and, once it is over, its outcome, for every caller waiting on it.
class TokenRefreshFlight : public QObject {
    Q_OBJECT

public:
    bool isOver() const { return m_over; }
    // The reply when the refresh succeeded; rethrows its failure otherwise. Only once it is over.
    TokenResponse outcome() const;

    void succeed(TokenResponse response);
    void fail(std::exception_ptr error);

Q_SIGNALS:
    void over();

private:
    bool m_over = false;
    std::optional<TokenResponse> m_response;
    std::exception_ptr m_error;
};
