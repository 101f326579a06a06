#include "UsageTrackerRig.h"

UsageTrackerRig::UsageTrackerRig(const UserDefaultsServiceProtocol& settings)
    : UsageTrackerRig(settings, nullptr) {}

UsageTrackerRig::UsageTrackerRig(const UserDefaultsServiceProtocol& settings, AppUsageStorageService& storage)
    : UsageTrackerRig(settings, &storage) {}

UsageTrackerRig::UsageTrackerRig(const UserDefaultsServiceProtocol& settings, AppUsageStorageService* given)
    : m_folder(given ? nullptr : std::make_unique<QTemporaryDir>())
    , m_ownStorage(given ? nullptr : std::make_unique<AppUsageStorageService>(m_folder->path()))
    , storage(given ? *given : *m_ownStorage)
    , privacy(settings)
    , accessibility(front, settings, privacy)
    , service(storage, front, idle, accessibility, settings) {}
