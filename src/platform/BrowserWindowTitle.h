#pragma once

#include <QString>

// How a browser names its window after the page it shows: the page's title, then " — Mozilla
// Firefox", " - Google Chrome" and the like.
namespace browserwindowtitle {
// Whether a window titled windowTitle shows the page with that title (or, for a page without a title,
// that address).
bool shows(const QString& windowTitle, const QString& pageTitle, const QString& pageUrl);
} // namespace browserwindowtitle
