#include "platform/StatusNotifierItemAdaptor.h"

#include "platform/StatusNotifierItem.h"

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem* item)
    : QDBusAbstractAdaptor(item)
    , m_item(item) {}

QString StatusNotifierItemAdaptor::id() const {
    return m_item->id();
}

QString StatusNotifierItemAdaptor::title() const {
    return m_item->title();
}

StatusNotifierIconPixmapList StatusNotifierItemAdaptor::iconPixmap() const {
    return m_item->iconPixmap();
}

StatusNotifierToolTip StatusNotifierItemAdaptor::toolTip() const {
    return m_item->toolTip();
}

QString StatusNotifierItemAdaptor::label() const {
    return m_item->label();
}

QString StatusNotifierItemAdaptor::labelGuide() const {
    return m_item->labelGuide();
}

void StatusNotifierItemAdaptor::Activate(int x, int y) {
    m_item->activate(x, y);
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y) {
    // No menu of its own: the popover holds every action.
    m_item->activate(x, y);
}

void StatusNotifierItemAdaptor::SecondaryActivate(int, int) {}

void StatusNotifierItemAdaptor::Scroll(int, const QString&) {}

void StatusNotifierItemAdaptor::ProvideXdgActivationToken(const QString&) {}
