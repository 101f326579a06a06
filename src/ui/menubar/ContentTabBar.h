#pragma once

#include "ui/menubar/ContentTab.h"

#include <QList>
#include <QWidget>

class ContentTabButton;
class QHBoxLayout;

// The bar of content tabs: one button per available tab (ContentTabs::available for the app-usage
// tracking switch its owner hands in), sharing the width equally. With fewer than two tabs available
// it shows nothing. A button marks itself selected when the stored choice names its tab, so an unknown
// choice marks none. A click reports the tab's raw value through tabChosen; the owner stores it and
// hands it back through setSelectedTab.
class ContentTabBar : public QWidget {
    Q_OBJECT

public:
    explicit ContentTabBar(bool appUsageTrackingActive, QWidget* parent = nullptr);

    QString selectedTab() const { return m_selectedTab; }
    void setSelectedTab(const QString& selectedTab);
    // The buttons are made anew when the switch changes.
    void setAppUsageTrackingActive(bool active);

    QList<ContentTab> availableTabs() const;
    QList<ContentTabButton*> buttons() const { return m_buttons; }

Q_SIGNALS:
    void tabChosen(const QString& rawValue);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void rebuild();

    bool m_appUsageTrackingActive;
    QString m_selectedTab;
    QHBoxLayout* m_layout;
    QList<ContentTabButton*> m_buttons;
};
