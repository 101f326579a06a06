#pragma once

#include <QtGlobal>

#include <chrono>

class QNetworkReply;

// The bounds every HTTP request of the application is held to, so that no server can stall a caller
// or flood its memory: a reply that moves no data for `inactivity`, or is not complete after
// `deadline` (however steadily it drips), is aborted and fails as timed out; a body larger than
// `maxBodyBytes` (announced or received, after decompression) is aborted and fails as too large.
// HttpReply::read tells the two apart from any other failure.
struct RequestLimits {
    static constexpr std::chrono::milliseconds defaultInactivity{10'000};
    static constexpr std::chrono::milliseconds defaultDeadline{60'000};
    // Far above any real ClickUp or Tools reply.
    static constexpr qint64 defaultMaxBodyBytes = 32LL * 1024 * 1024;

    std::chrono::milliseconds inactivity = defaultInactivity;
    std::chrono::milliseconds deadline = defaultDeadline;
    qint64 maxBodyBytes = defaultMaxBodyBytes;

    // Why a reply was aborted by the limits.
    enum class Breach { none, timedOut, tooLarge };

    // Holds a reply just sent to these limits until it finishes. The watch lives in the reply, so it
    // ends with it. Returns the reply.
    QNetworkReply* apply(QNetworkReply* reply) const;

    static Breach breachOf(const QNetworkReply& reply);
};
