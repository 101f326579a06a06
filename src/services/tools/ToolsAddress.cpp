#include "services/tools/ToolsAddress.h"

#include <QHostAddress>

namespace {
bool isLoopbackHost(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

std::optional<QUrl> usableUrl(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}
} // namespace

std::optional<QUrl> toolsAddress(const QString& toolsUrl, const QString& pathAndQuery) {
    std::optional<QUrl> url = usableUrl(toolsUrl + pathAndQuery);
    if (!url) {
        return std::nullopt;
    }
    const QString scheme = url->scheme();
    if (scheme == QLatin1String("https") ||
        (scheme == QLatin1String("http") && isLoopbackHost(url->host()))) {
        return url;
    }
    return std::nullopt;
}

bool isInsecureToolsAddress(const QString& toolsUrl) {
    const std::optional<QUrl> url = usableUrl(toolsUrl);
    return url && url->scheme() == QLatin1String("http") && !isLoopbackHost(url->host());
}
