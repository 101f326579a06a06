#include "support/FakeFrontAppSource.h"

FrontWindow FakeFrontAppSource::window(const QString& desktopFileId, const QString& name,
                                       const QString& title) {
    FrontWindow window;
    window.windowId = m_nextId++;
    window.processId = 1000 + window.windowId;
    window.desktopFileId = desktopFileId;
    window.name = name;
    if (!title.isEmpty()) {
        m_titles.insert(window.windowId, title);
    }
    return window;
}

void FakeFrontAppSource::activate(const FrontWindow& window) {
    m_front = window;
    if (m_observing) {
        Q_EMIT activated(window);
    }
}

std::optional<QString> FakeFrontAppSource::windowTitle(quint32 windowId) {
    ++m_titleReads;
    const auto found = m_titles.constFind(windowId);
    if (found == m_titles.cend() || found->isEmpty()) {
        return std::nullopt;
    }
    return *found;
}
