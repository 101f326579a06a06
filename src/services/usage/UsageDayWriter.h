#pragma once

#include "services/usage/UsageDay.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>

// Writes a usage day file (the format is described at UsageDayFile) from whichever form the sessions
// are kept in: the full records, or the tracker's compact form, whose texts are already UTF-8. Both go
// through the same code, so the bytes are the same for the same sessions.
//
// A session is given through a view with these members:
//   QUuid id(); Text appId(); Text appName(); QDateTime startTime();
//   std::optional<QDateTime> endTime(); std::optional<Text> clickUpTaskId();
//   bool hasWindowTitles(); void forEachWindowTitle(f(Text)); void forEachCapture(f(CaptureView));
//   std::optional<Text> projectContext();
// and a capture through one with:
//   QUuid id(); Text title(); QDateTime capturedAt(); bool isRedacted(); std::optional<Text> url(),
//   emailSubject(), emailSender(), emailMailbox();
// where Text is a QString or its UTF-8 bytes (QByteArrayView); an absent optional is left out.
class UsageDayWriter {
public:
    // Starts the file of that day key; `reserve` is the number of bytes expected.
    explicit UsageDayWriter(const QString& date, qsizetype reserve = 0);

    template <typename SessionView>
    void appendSession(const SessionView& session);
    // Closes the file and hands over its bytes.
    QByteArray finish();

private:
    void text(QByteArrayView utf8);
    void text(const QString& value) { text(QByteArrayView(value.toUtf8())); }
    // Appends a literal: punctuation and keys, each written with its quotes and colon in one piece.
    template <qsizetype size>
    void raw(const char (&literal)[size]) {
        m_out.append(literal, size - 1);
    }
    void uuid(const QUuid& id);
    void dateTime(const QDateTime& moment);
    template <qsizetype size, typename Text>
    void optionalText(const char (&key)[size], const std::optional<Text>& value) {
        if (value.has_value()) {
            raw(key);
            text(*value);
        }
    }
    template <typename CaptureView>
    void appendCapture(const CaptureView& capture);

    QByteArray m_out;
    bool m_firstSession = true;
};

template <typename CaptureView>
void UsageDayWriter::appendCapture(const CaptureView& capture) {
    raw("{\"id\":");
    uuid(capture.id());
    raw(",\"title\":");
    text(capture.title());
    raw(",\"capturedAt\":");
    dateTime(capture.capturedAt());
    raw(",\"isRedacted\":");
    m_out.append(capture.isRedacted() ? "true" : "false");
    optionalText(",\"url\":", capture.url());
    optionalText(",\"emailSubject\":", capture.emailSubject());
    optionalText(",\"emailSender\":", capture.emailSender());
    optionalText(",\"emailMailbox\":", capture.emailMailbox());
    m_out.append('}');
}

template <typename SessionView>
void UsageDayWriter::appendSession(const SessionView& session) {
    if (!m_firstSession) {
        m_out.append(',');
    }
    m_firstSession = false;
    raw("{\"id\":");
    uuid(session.id());
    raw(",\"bundleIdentifier\":");
    text(session.appId());
    raw(",\"appName\":");
    text(session.appName());
    raw(",\"startTime\":");
    dateTime(session.startTime());
    if (const std::optional<QDateTime> end = session.endTime()) {
        raw(",\"endTime\":");
        dateTime(*end);
    }
    optionalText(",\"clickUpTaskId\":", session.clickUpTaskId());
    if (session.hasWindowTitles()) {
        raw(",\"windowTitles\":");
        m_out.append('[');
        bool first = true;
        session.forEachWindowTitle([&](const auto& title) {
            if (!first) {
                m_out.append(',');
            }
            first = false;
            text(title);
        });
        m_out.append(']');
    }
    raw(",\"windowCaptures\":");
    m_out.append('[');
    bool first = true;
    session.forEachCapture([&](const auto& capture) {
        if (!first) {
            m_out.append(',');
        }
        first = false;
        appendCapture(capture);
    });
    m_out.append(']');
    optionalText(",\"projectContext\":", session.projectContext());
    m_out.append('}');
}
