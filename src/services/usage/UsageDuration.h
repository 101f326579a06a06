#pragma once

#include <QString>

// The short duration text of the usage views and reports. Seconds are cut to whole seconds s (never
// rounded): under 60 (and any negative value) "<1m"; under an hour the whole minutes and "m" ("42m");
// otherwise the whole hours, "h ", the remaining whole minutes and "m" ("2h 0m", "25h 0m").
QString formatDuration(double seconds);
