#include "UsageTrackerRig.h"

UsageTrackerRig::UsageTrackerRig(const SettingsStore& settings)
    : UsageTrackerRig(settings, nullptr) {}

UsageTrackerRig::UsageTrackerRig(const SettingsStore& settings, AppUsageStorageService& storage)
    : UsageTrackerRig(settings, &storage) {}

UsageTrackerRig::UsageTrackerRig(const SettingsStore& settings, AppUsageStorageService* given)
    : m_folder(given ? nullptr : std::make_unique<QTemporaryDir>())
    , m_ownStorage(given ? nullptr : std::make_unique<AppUsageStorageService>(m_folder->path()))
    , storage(given ? *given : *m_ownStorage)
    , privacy(settings)
    , accessibility(front, settings, privacy)
    , service(storage, front, idle, accessibility, settings) {}
