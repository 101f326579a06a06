#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Base of every error the application raises. Failures travel as exceptions of a subclass
// (APIError, KeychainError, ...), through co_await as well; description() is the text the user sees.
class Error : public std::exception {
public:
    ~Error() override = default;

    virtual QString description() const = 0;
    const char* what() const noexcept override;

    // The user-facing text of any exception: description() for ours, what() for the others.
    static QString describe(const std::exception& error);
    // The same for an exception in flight (inside a catch block) or captured in a pointer.
    static QString describe(std::exception_ptr error);

private:
    mutable QByteArray m_what;
};
