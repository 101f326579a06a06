// libFuzzer target of the usage day-file decoder (make fuzz). Any input must either decode or fail
// with DecodingError; what decodes must encode to a file that decodes again, and encoding is stable
// from then on.
#include "core/DecodingError.h"
#include "services/usage/UsageDayFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    UsageDayFile decoded;
    try {
        decoded = UsageDayFile::fromJson(bytes);
    } catch (const DecodingError& error) {
        if (error.description().isEmpty()) {
            std::abort();
        }
        return 0;
    }
    const QByteArray first = decoded.toJson();
    try {
        const UsageDayFile again = UsageDayFile::fromJson(first);
        if (again.sessions.size() != decoded.sessions.size() || again.toJson() != first) {
            std::abort();
        }
    } catch (const DecodingError&) {
        std::abort(); // our own output must always be readable
    }
    return 0;
}
