#include "services/dayplan/SyncStatus.h"

using namespace Qt::StringLiterals;

QString rawValue(SyncStatus status) {
    switch (status) {
    case SyncStatus::local:
        return u"local"_s;
    case SyncStatus::synced:
        return u"synced"_s;
    case SyncStatus::modified:
        return u"modified"_s;
    case SyncStatus::deleted:
        return u"deleted"_s;
    }
    return u"local"_s;
}

std::optional<SyncStatus> syncStatusFromRawValue(QStringView text) {
    for (SyncStatus status :
         {SyncStatus::local, SyncStatus::synced, SyncStatus::modified, SyncStatus::deleted}) {
        if (text == rawValue(status)) {
            return status;
        }
    }
    return std::nullopt;
}
