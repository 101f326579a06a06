#pragma once

#include <QHash>
#include <QImage>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <optional>

// Profile pictures of ClickUp users, loaded once per address and kept for the life of the process,
// so rows rebuilt on every change show them at once. Only http and https addresses are loaded; an
// address that failed is not asked for again. The root state owns the one the views share.
class AvatarImageCache : public QObject {
    Q_OBJECT

public:
    explicit AvatarImageCache(QObject* parent = nullptr);

    // The picture when it has been loaded; otherwise none, and a load is started unless one is
    // under way or the address failed before.
    std::optional<QImage> image(const QUrl& url);

    static bool isLoadable(const QUrl& url);

    // Time-out of each load (15 s unless a test shortens it).
    void setRequestTimeout(int milliseconds) { m_requestTimeoutMs = milliseconds; }

Q_SIGNALS:
    // A picture has arrived.
    void loaded(const QUrl& url);

private:
    void load(const QUrl& url);

    QNetworkAccessManager m_network;
    QHash<QUrl, QImage> m_images;
    QSet<QUrl> m_pending;
    QSet<QUrl> m_failed;
    int m_requestTimeoutMs = 15000;
};
