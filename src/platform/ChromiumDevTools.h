#pragma once

#include "platform/BrowserTabSource.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QObject>

#include <chrono>

// The active tab of a Chromium-family browser (Chromium, Chrome, Brave, Edge, Vivaldi, Opera) from
// its DevTools endpoint on 127.0.0.1 ("/json/list"). Only a browser the user started with a
// remote-debugging port has one; without it the source finds nothing. The ports tried are those the
// browsers announce in their "DevToolsActivePort" files, then 9222. Each request gives up after a
// short time-out; a reply that is not a DevTools target list counts as no answer.
class ChromiumDevTools : public QObject, public BrowserTabSource {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds timeout{1500};
    static constexpr qint64 maxReplyBytes = 4LL * 1024 * 1024;
    static constexpr quint16 defaultPort = 9222;

    // The ports to try; empty: the announced ports, then 9222, looked up on every request.
    explicit ChromiumDevTools(QList<quint16> ports = {}, QObject* parent = nullptr);

    QString browserName() const override;
    QCoro::Task<BrowserTab> activeTab(QString windowTitle) override;

    static QList<quint16> announcedPorts();
    // The page of a "/json/list" reply that the window titled windowTitle shows; with an empty title
    // the first page (the one used last).
    static BrowserTab tabFromList(const QByteArray& json, const QString& windowTitle);

private:
    QList<quint16> m_ports;
    QNetworkAccessManager m_network;
};
