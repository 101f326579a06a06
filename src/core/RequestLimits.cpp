#include "core/RequestLimits.h"

#include <QNetworkReply>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <limits>

namespace {
constexpr const char* breachProperty = "pendlowLimitBreach";

void breach(QNetworkReply* reply, RequestLimits::Breach why) {
    if (reply->isFinished() || RequestLimits::breachOf(*reply) != RequestLimits::Breach::none) {
        return;
    }
    reply->setProperty(breachProperty, int(why));
    reply->abort();
}

int timerMs(std::chrono::milliseconds duration) {
    return int(std::clamp<qint64>(duration.count(), 1, std::numeric_limits<int>::max()));
}
} // namespace

QNetworkReply* RequestLimits::apply(QNetworkReply* reply) const {
    if (!reply || reply->isFinished()) {
        return reply;
    }
    auto* deadlineTimer = new QTimer(reply);
    deadlineTimer->setSingleShot(true);
    deadlineTimer->setTimerType(Qt::PreciseTimer);
    auto* idleTimer = new QTimer(reply);
    idleTimer->setSingleShot(true);
    idleTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(deadlineTimer, &QTimer::timeout, reply, [reply] { breach(reply, Breach::timedOut); });
    QObject::connect(idleTimer, &QTimer::timeout, reply, [reply] { breach(reply, Breach::timedOut); });

    // Any movement of data starts the inactivity period again; nothing moves the deadline.
    const auto moved = [idleTimer] { idleTimer->start(); };
    QObject::connect(reply, &QNetworkReply::uploadProgress, idleTimer, moved);
    QObject::connect(reply, &QNetworkReply::downloadProgress, idleTimer, moved);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, idleTimer, moved);

    const qint64 maxBytes = maxBodyBytes;
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, maxBytes] {
        bool known = false;
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && announced > maxBytes) {
            breach(reply, Breach::tooLarge);
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, maxBytes] {
        if (reply->bytesAvailable() > maxBytes) {
            breach(reply, Breach::tooLarge);
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [deadlineTimer, idleTimer] {
        deadlineTimer->stop();
        idleTimer->stop();
    });

    deadlineTimer->start(timerMs(deadline));
    idleTimer->start(timerMs(inactivity));
    return reply;
}

RequestLimits::Breach RequestLimits::breachOf(const QNetworkReply& reply) {
    const QVariant value = reply.property(breachProperty);
    return value.isValid() ? Breach(value.toInt()) : Breach::none;
}
