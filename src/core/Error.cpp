#include "core/Error.h"

const char* Error::what() const noexcept {
    m_what = description().toUtf8();
    return m_what.constData();
}

QString Error::describe(const std::exception& error) {
    if (const auto* ours = dynamic_cast<const Error*>(&error)) {
        return ours->description();
    }
    return QString::fromUtf8(error.what());
}

QString Error::describe(std::exception_ptr error) {
    if (!error) {
        return {};
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return describe(e);
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}
