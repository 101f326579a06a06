#pragma once

#include "platform/AppcastItem.h"
#include "platform/UpdateError.h"

#include <optional>

// The kind of an update check. The values are fixed: 0 marks a check the user asked for.
enum class UpdateCheck { userInitiated = 0, background = 1 };

// Told by AppcastUpdater how its checks end, on the GUI thread. For each check, in this order:
// updaterDidFindValidUpdate when the feed offers a newer version, or updaterDidAbortWithError when the
// check failed; then always updaterDidFinishUpdateCycle (for a user's check that found an update, only
// once the user has answered the update alert).
class UpdateListener {
public:
    virtual ~UpdateListener() = default;

    virtual void updaterDidAbortWithError(const UpdateError& error) = 0;
    virtual void updaterDidFindValidUpdate(const AppcastItem& item) = 0;
    virtual void updaterDidFinishUpdateCycle(UpdateCheck check, const std::optional<UpdateError>& error) = 0;
};
