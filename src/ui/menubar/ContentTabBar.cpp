#include "ui/menubar/ContentTabBar.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/menubar/ContentTabButton.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal cornerRadius = 8;
} // namespace

ContentTabBar::ContentTabBar(bool appUsageTrackingActive, QWidget* parent)
    : QWidget(parent)
    , m_appUsageTrackingActive(appUsageTrackingActive)
    , m_layout(new QHBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    rebuild();
}

QList<ContentTab> ContentTabBar::availableTabs() const {
    return ContentTabs::available(m_appUsageTrackingActive);
}

void ContentTabBar::setAppUsageTrackingActive(bool active) {
    if (m_appUsageTrackingActive == active) {
        return;
    }
    m_appUsageTrackingActive = active;
    rebuild();
}

void ContentTabBar::setSelectedTab(const QString& selectedTab) {
    if (m_selectedTab == selectedTab) {
        return;
    }
    m_selectedTab = selectedTab;
    for (ContentTabButton* button : std::as_const(m_buttons)) {
        button->setSelected(ContentTabs::rawValue(button->tab()) == m_selectedTab);
    }
}

void ContentTabBar::rebuild() {
    qDeleteAll(m_buttons);
    m_buttons.clear();
    const QList<ContentTab> tabs = availableTabs();
    if (tabs.size() >= 2) {
        for (ContentTab tab : tabs) {
            const QString raw = ContentTabs::rawValue(tab);
            auto* button = new ContentTabButton(
                tab, raw == m_selectedTab, [this, raw] { Q_EMIT tabChosen(raw); }, this);
            button->setObjectName(raw + QStringLiteral("TabButton"));
            m_layout->addWidget(button);
            m_buttons.append(button);
        }
    }
    updateGeometry();
    update();
}

void ContentTabBar::paintEvent(QPaintEvent*) {
    if (m_buttons.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(background, PopoverStyle::withAlpha(PopoverStyle::controlBackground(palette()), 0.5));
}
