#pragma once

#include <QString>

class QBoxLayout;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

// The pieces the settings pages are built of, so every page looks alike: a section is a group box
// under its header text, its help text below it in the caption font and the secondary colour.
class SettingsFormStyle {
public:
    static constexpr qreal bodySize = 13;
    static constexpr qreal captionSize = 10;
    static constexpr int margin = 20;

    // A titled group of rows added to the layout, with an optional footer below it.
    static QGroupBox* section(const QString& header, const QString& footer, QBoxLayout* into,
                              QWidget* parent);
    // The rows of a section: a form layout of label and field, widening its fields.
    static QFormLayout* formRows(QGroupBox* section);
    // Help text in the caption font and the secondary colour.
    static QLabel* caption(const QString& text, QWidget* parent);
    // A one-line text field; a secure one shows dots in place of its characters.
    static QLineEdit* textField(const QString& objectName, bool secure, QWidget* parent);
};
