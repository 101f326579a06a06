#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// An address on the Tools server: the "toolsUrl" setting followed directly by a path (and query),
// with no "/" inserted, since the setting ends in "/". None unless the text is an absolute http or
// https address with a host, so an empty or broken setting never sends a request anywhere else.
std::optional<QUrl> toolsAddress(const QString& toolsUrl, const QString& pathAndQuery);
