#include "services/tools/TokenRefreshFlight.h"

TokenResponse TokenRefreshFlight::outcome() const {
    if (m_error) {
        std::rethrow_exception(m_error);
    }
    return *m_response;
}

void TokenRefreshFlight::succeed(TokenResponse response) {
    m_response = std::move(response);
    m_over = true;
    Q_EMIT over();
}

void TokenRefreshFlight::fail(std::exception_ptr error) {
    m_error = std::move(error);
    m_over = true;
    Q_EMIT over();
}
