#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// Why a "toolsUrl" setting is refused, shown to the user: the tokens would cross the network in clear.
inline const QString toolsAddressNeedsHttps =
    QStringLiteral("The Tools address must start with https:// (plain http only for this computer).");

// An address on the Tools server: the "toolsUrl" setting followed directly by a path (and query),
// with no "/" inserted, since the setting ends in "/". None unless the text is an absolute https
// address with a host (http only for a loopback host: 127.0.0.0/8, ::1 or "localhost"), so an empty
// or broken setting never sends a request anywhere else and no token travels in clear.
std::optional<QUrl> toolsAddress(const QString& toolsUrl, const QString& pathAndQuery);

// True for an http address that toolsAddress refuses only for its scheme.
bool isInsecureToolsAddress(const QString& toolsUrl);
