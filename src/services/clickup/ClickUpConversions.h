#pragma once

#include "services/clickup/ActiveTimer.h"
#include "services/clickup/ClickUpCurrentTimerData.h"
#include "services/clickup/ClickUpSearchResult.h"
#include "services/clickup/ClickUpSearchTaskResponse.h"
#include "services/clickup/ClickUpTimeEntryResponse.h"
#include "services/clickup/TimeEntry.h"

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

// Turning ClickUp replies into the values the application shows, and the links into ClickUp's web
// application. None of these fail loudly: missing task data, unknown statuses and unusable links get
// stand-ins; only a timer without id or start and an entry without a valid start give nothing.

// The host of ClickUp's web application (not its API).
inline constexpr QLatin1String clickUpWebAppHost("app.clickup.com");

// "https://app.clickup.com", the web application's start page.
QUrl clickUpWebAppUrl();
// "https://app.clickup.com/t/<id>", the id percent-encoded so that it stays one path segment.
QUrl clickUpTaskUrl(const QString& taskId);
// A link ClickUp sent, if it is an absolute http or https address with a host; otherwise none, so
// that a text that is no address, or an address of another kind, is never opened.
std::optional<QUrl> parseTaskLink(const QString& text);

// Epoch milliseconds as ClickUp writes them: an optional "+" or "-" and one or more ASCII digits,
// nothing else, within the 64-bit signed range. Anything else (empty text included) is none.
std::optional<qint64> parseMilliseconds(QStringView text);
// The moment `milliseconds` after 1970-01-01 00:00 UTC, in local time where it can be expressed so.
QDateTime dateFromMilliseconds(qint64 milliseconds);

// The running timer of a current-timer or start reply; none without data, id or start. A start that
// is no valid millisecond text counts as Clock::now().
std::optional<ActiveTimer> makeActiveTimer(const std::optional<ClickUpCurrentTimerData>& data);

// One listed entry; none when its start is no valid millisecond text. An entry without an end ends at
// its start; an end that is no valid millisecond text is Clock::now(); a duration that is no valid
// millisecond text is the time from start to end.
std::optional<TimeEntry> timeEntryFromResponse(const ClickUpTimeEntryResponse& response);

// A searched task as the search shows it.
ClickUpSearchResult searchResultFromResponse(const ClickUpSearchTaskResponse& task);
