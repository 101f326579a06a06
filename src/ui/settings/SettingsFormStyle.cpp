#include "ui/settings/SettingsFormStyle.h"

#include "ui/kit/PopoverStyle.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

QGroupBox* SettingsFormStyle::section(const QString& header, const QString& footer, QBoxLayout* into,
                                      QWidget* parent) {
    auto* box = new QGroupBox(header, parent);
    box->setStyleSheet(QStringLiteral("QGroupBox { font-weight: 600; }"));
    into->addWidget(box);
    if (!footer.isEmpty()) {
        QLabel* help = caption(footer, parent);
        help->setContentsMargins(4, 0, 4, 0);
        into->addWidget(help);
    }
    return box;
}

QFormLayout* SettingsFormStyle::formRows(QGroupBox* section) {
    auto* rows = new QFormLayout(section);
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    rows->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return rows;
}

QLabel* SettingsFormStyle::caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(PopoverStyle::font(captionSize));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    PopoverStyle::setTextColor(label, PopoverStyle::secondaryText(label->palette()));
    return label;
}

QLineEdit* SettingsFormStyle::textField(const QString& objectName, bool secure, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setFont(PopoverStyle::font(bodySize));
    field->setClearButtonEnabled(!secure);
    if (secure) {
        field->setEchoMode(QLineEdit::Password);
    }
    return field;
}
