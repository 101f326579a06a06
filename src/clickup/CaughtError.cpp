#include "clickup/CaughtError.h"

#include "app/Error.h"

CaughtError CaughtError::from(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const APIError& apiError) {
        return CaughtError{apiError, true, apiError.description()};
    } catch (const std::exception& other) {
        return CaughtError{APIError::networkError(other), false, Error::describe(other)};
    } catch (...) {
        const QString unknown = QStringLiteral("Unknown error");
        return CaughtError{APIError::networkError(unknown), false, unknown};
    }
}
