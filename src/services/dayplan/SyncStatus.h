#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>

#include <optional>

// Where a planned entry stands with ClickUp.
enum class SyncStatus {
    local,    // made here, never sent
    synced,   // ClickUp holds it, with the same times
    modified, // sent once, its times changed since
    deleted,  // removed by the user while ClickUp still holds it; hidden until the sync deletes it
};

// "local", "synced", "modified", "deleted": the texts of the plan file.
QString rawValue(SyncStatus status);
// Exactly one of the four texts, nothing else.
std::optional<SyncStatus> syncStatusFromRawValue(QStringView text);

Q_DECLARE_METATYPE(SyncStatus)
