#pragma once

#include "ui/menubar/ContentTab.h"

#include <QAbstractButton>

#include <functional>

// One button of the content tab bar: the tab's symbol and title, emphasised and backed by a light
// accent while selected. A click runs the action.
class ContentTabButton : public QAbstractButton {
    Q_OBJECT

public:
    ContentTabButton(ContentTab tab, bool isSelected, std::function<void()> action,
                     QWidget* parent = nullptr);

    ContentTab tab() const { return m_tab; }
    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont titleFont() const;

    ContentTab m_tab;
    bool m_isSelected;
    std::function<void()> m_action;
};
