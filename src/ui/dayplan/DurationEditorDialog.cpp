#include "ui/dayplan/DurationEditorDialog.h"

#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {
QSpinBox* field(int maximum, int step, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, maximum);
    box->setSingleStep(step);
    box->setFont(PopoverStyle::monospacedFont(24, QFont::Medium));
    box->setMinimumWidth(80);
    return box;
}

QWidget* column(const QString& title, QSpinBox* box, QWidget* parent) {
    auto* widget = new QWidget(parent);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(title, widget);
    label->setFont(PopoverStyle::font(11));
    PopoverStyle::setTextColor(label, PopoverStyle::secondaryText(label->palette()));
    layout->addWidget(label);
    layout->addWidget(box);
    return widget;
}
} // namespace

DurationEditorDialog::DurationEditorDialog(double currentSeconds, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(u"Set Duration"_s);
    setModal(true);
    setFixedWidth(280);
    const int totalMinutes = int(currentSeconds / 60);
    m_hours = field(std::max(12, totalMinutes / 60), 1, this);
    m_minutes = field(59, 15, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(16);
    auto* title = new QLabel(u"Set Duration"_s, this);
    title->setFont(PopoverStyle::font(13, QFont::DemiBold));
    layout->addWidget(title);

    auto* fields = new QHBoxLayout;
    fields->setSpacing(20);
    fields->addWidget(column(u"Hours"_s, m_hours, this));
    fields->addWidget(column(u"Minutes"_s, m_minutes, this));
    layout->addLayout(fields);

    auto* presets = new QHBoxLayout;
    presets->setSpacing(8);
    for (const auto& [label, seconds] : {std::pair{u"15m"_s, 900.0}, std::pair{u"30m"_s, 1800.0},
                                         std::pair{u"1h"_s, 3600.0}, std::pair{u"2h"_s, 7200.0}}) {
        auto* button = new QPushButton(label, this);
        button->setObjectName(u"preset-"_s + label);
        button->setAutoDefault(false);
        const double presetSeconds = seconds;
        connect(button, &QPushButton::clicked, this, [this, presetSeconds] { setDuration(presetSeconds); });
        presets->addWidget(button);
    }
    layout->addLayout(presets);
    layout->addWidget(PopoverStyle::divider(this));

    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(u"Cancel"_s, this);
    cancel->setAutoDefault(false);
    m_save = new QPushButton(u"Save"_s, this);
    m_save->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(m_save);
    layout->addLayout(buttons);

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (m_save->isEnabled()) {
            accept();
        }
    });
    auto* saveShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(saveShortcut, &QShortcut::activated, m_save, &QPushButton::click);
    auto* saveShortcutEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), this);
    connect(saveShortcutEnter, &QShortcut::activated, m_save, &QPushButton::click);
    connect(m_hours, &QSpinBox::valueChanged, this, &DurationEditorDialog::updateSaveEnabled);
    connect(m_minutes, &QSpinBox::valueChanged, this, &DurationEditorDialog::updateSaveEnabled);

    setDuration(currentSeconds);
}

int DurationEditorDialog::hours() const {
    return m_hours->value();
}

int DurationEditorDialog::minutes() const {
    return m_minutes->value();
}

double DurationEditorDialog::totalSeconds() const {
    return double(hours()) * 3600 + double(minutes()) * 60;
}

void DurationEditorDialog::setDuration(double seconds) {
    const int totalMinutes = int(seconds / 60);
    m_hours->setValue(totalMinutes / 60);
    m_minutes->setValue(totalMinutes - (totalMinutes / 60) * 60);
    updateSaveEnabled();
}

QPushButton* DurationEditorDialog::presetButton(const QString& label) const {
    return findChild<QPushButton*>(u"preset-"_s + label);
}

void DurationEditorDialog::updateSaveEnabled() {
    m_save->setEnabled(totalSeconds() >= 60);
}
