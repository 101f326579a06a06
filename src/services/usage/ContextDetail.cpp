#include "services/usage/ContextDetail.h"

#include "services/usage/UsageDuration.h"

QString ContextDetail::formattedDuration() const {
    return formatDuration(duration);
}
