#include "services/clickup/AvatarImageCache.h"

#include "core/Log.h"
#include "core/RequestLimits.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
// Larger replies are no profile pictures.
constexpr qint64 largestPictureBytes = 5 * 1024 * 1024;
} // namespace

AvatarImageCache::AvatarImageCache(QObject* parent)
    : QObject(parent) {}

bool AvatarImageCache::isLoadable(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

std::optional<QImage> AvatarImageCache::image(const QUrl& url) {
    if (const auto found = m_images.constFind(url); found != m_images.constEnd()) {
        return *found;
    }
    if (isLoadable(url) && !m_pending.contains(url) && !m_failed.contains(url)) {
        load(url);
    }
    return std::nullopt;
}

void AvatarImageCache::load(const QUrl& url) {
    m_pending.insert(url);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // The same bounds as every request, with a picture's size as the largest body.
    RequestLimits limits;
    limits.inactivity = std::chrono::milliseconds(m_requestTimeoutMs);
    limits.maxBodyBytes = largestPictureBytes;
    QNetworkReply* reply = limits.apply(m_network.get(request));
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] {
        reply->deleteLater();
        m_pending.remove(url);
        QImage picture;
        if (reply->error() == QNetworkReply::NoError) {
            picture.loadFromData(reply->readAll());
        }
        if (picture.isNull()) {
            // The address may name the user: only its host goes to the log.
            Log::debug(QStringLiteral("Profile picture from %1 could not be loaded").arg(url.host()),
                       Log::Category::ui);
            m_failed.insert(url);
            return;
        }
        m_images.insert(url, picture);
        emit loaded(url);
    });
}
