#include "services/tools/ToolsAddress.h"

std::optional<QUrl> toolsAddress(const QString& toolsUrl, const QString& pathAndQuery) {
    const QUrl url(toolsUrl + pathAndQuery, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) {
        return std::nullopt;
    }
    return url;
}
