#pragma once

#include "platform/BrowserTabSource.h"

#include <QCoroTimer>
#include <QStringList>
#include <QTimer>

// A browser's tab source that answers `answer` to every ask, after delayMs (none by default), and
// keeps the window titles it was asked about.
class FakeTabSource : public BrowserTabSource {
public:
    explicit FakeTabSource(QString name, int delayMs = 0)
        : m_name(std::move(name))
        , m_delayMs(delayMs) {}
    QString browserName() const override { return m_name; }
    QCoro::Task<BrowserTab> activeTab(QString windowTitle) override {
        askedTitles.append(windowTitle);
        if (m_delayMs > 0) {
            QTimer timer;
            timer.setSingleShot(true);
            timer.start(m_delayMs);
            co_await qCoro(timer).waitForTimeout();
        }
        co_return BrowserTab(answer);
    }

    BrowserTab answer = BrowserTab::failure(QStringLiteral("nothing"));
    QStringList askedTitles;

private:
    QString m_name;
    int m_delayMs;
};
