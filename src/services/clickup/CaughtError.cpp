#include "services/clickup/CaughtError.h"

#include "core/Error.h"

CaughtError CaughtError::from(std::exception_ptr error) {
    const QString description = Error::describe(error);
    try {
        std::rethrow_exception(error);
    } catch (const APIError& apiError) {
        return CaughtError{apiError, true, description};
    } catch (...) {
        return CaughtError{APIError::networkError(description), false, description};
    }
}
