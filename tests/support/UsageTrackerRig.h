#pragma once

#include "support/FakeFrontAppSource.h"

#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/WindowTitleCaptureService.h"

#include <QTemporaryDir>

#include <memory>

// A real usage tracker over a fake front-window source and a fake idle source, with the privacy and
// accessibility services it needs. It keeps its days in a usage store of its own, in a temporary
// folder, or in the store a test gives it (which must outlive the rig).
class UsageTrackerRig {
public:
    explicit UsageTrackerRig(const SettingsStore& settings);
    UsageTrackerRig(const SettingsStore& settings, AppUsageStorageService& storage);
    UsageTrackerRig(const UsageTrackerRig&) = delete;
    UsageTrackerRig& operator=(const UsageTrackerRig&) = delete;

private:
    UsageTrackerRig(const SettingsStore& settings, AppUsageStorageService* given);

    // The rig's own store and its folder; empty when the test gives a store.
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<AppUsageStorageService> m_ownStorage;

public:
    AppUsageStorageService& storage;
    FakeFrontAppSource front;
    FakeIdleSource idle;
    PrivacyRedaction privacy;
    WindowTitleCaptureService accessibility;
    AppUsageTrackingService service;
};
