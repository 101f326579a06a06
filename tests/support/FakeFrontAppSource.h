#pragma once

#include "platform/FrontAppSource.h"
#include "platform/IdleSource.h"

#include <QHash>

// A front-application source the test drives: activate() puts a window in front and reports it
// while observing; titles are set per window.
class FakeFrontAppSource : public FrontAppSource {
    Q_OBJECT

public:
    using FrontAppSource::FrontAppSource;

    // A window of an application with that desktop-file id and name; ids count up from 1.
    FrontWindow window(const QString& desktopFileId, const QString& name, const QString& title = {});
    void activate(const FrontWindow& window);
    void clearFront() { m_front.reset(); }
    void setTitle(quint32 windowId, const QString& title) { m_titles.insert(windowId, title); }
    void setTitlesReadable(bool readable) { m_titlesReadable = readable; }

    bool isObserving() const { return m_observing; }
    int titleReads() const { return m_titleReads; }

    void startObserving() override { m_observing = true; }
    void stopObserving() override { m_observing = false; }
    std::optional<FrontWindow> frontmostWindow() override { return m_front; }
    std::optional<QString> windowTitle(quint32 windowId) override;
    bool canReadWindowTitles() const override { return m_titlesReadable; }

private:
    std::optional<FrontWindow> m_front;
    QHash<quint32, QString> m_titles;
    quint32 m_nextId = 1;
    bool m_observing = false;
    bool m_titlesReadable = true;
    int m_titleReads = 0;
};

class FakeIdleSource : public IdleSource {
public:
    double idleSeconds() override { return seconds; }
    double seconds = 0;
};
