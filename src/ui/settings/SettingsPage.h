#pragma once

#include <QString>
#include <QWidget>

// One tab of the settings window. The window shows the pages in the order it is given them, each
// under its label and icon, and calls `load()` every time a page is shown (the window opened on it,
// or the user switched to it): a page that shows stored values reads them again there, dropping
// edits that were not saved. A page lives as long as the window.
class SettingsPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The tab's text, for example "ClickUp".
    virtual QString label() const = 0;
    // The tab's icon: a freedesktop icon name, drawn from ":/icons/<name>.svg".
    virtual QString iconName() const = 0;
    // Reads the page's stored values into its fields. The default reads nothing.
    virtual void load() {}
};
