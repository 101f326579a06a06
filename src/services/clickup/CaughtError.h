#pragma once

#include "services/clickup/APIError.h"

#include <QString>

#include <exception>

// A failure caught from a ClickUp call, as the states keep and log it: an APIError stays as it is,
// any other error (a transport failure the client passes on unwrapped) becomes networkError carrying
// its description.
struct CaughtError {
    APIError apiError;
    bool isAPIError = false;
    // The description of the error as caught.
    QString description;

    static CaughtError from(std::exception_ptr error);
};
