#pragma once

#include "core/UserDefaultsService.h"

#include <QTemporaryDir>

namespace detail {
// The first base of TestSettings, so that the folder is made before the store opens its file and
// removed after the store has gone.
struct TestSettingsFolder {
    QTemporaryDir folder;
};
} // namespace detail

// A settings store of its own for one test: "Pendlow.conf" (fileName()) in a temporary folder that
// goes with it.
class TestSettings : private detail::TestSettingsFolder, public UserDefaultsService {
public:
    TestSettings();
};
