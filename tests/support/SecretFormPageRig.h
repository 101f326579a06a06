#pragma once

#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretFormPage.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A settings page with a secret, Save and Test, driven as the user does: shown (loaded), its buttons
// pressed and waited for, and what the press left in the result line and the "Saved" confirmation.
// The test's rig derives from it, makes the page's services, sets `tab` and resets it before they go.
template <typename Page>
class SecretFormPageRig {
public:
    std::unique_ptr<Page> tab;

    // Reads the stored values into the page, as showing it does.
    void load() {
        QSignalSpy loaded(tab.get(), &SecretFormPage::loaded);
        tab->load();
        QVERIFY(!loaded.isEmpty() || loaded.wait(5000));
    }

    QPushButton* button(const QString& name) const { return tab->template findChild<QPushButton*>(name); }
    SettingsResultLabel* result() const {
        return tab->template findChild<SettingsResultLabel*>(QStringLiteral("resultLabel"));
    }
    bool savedShown() const {
        return tab->template findChild<SavedConfirmation*>(QStringLiteral("savedConfirmation"))
            ->isVisibleTo(tab.get());
    }

    // Clicks the button and waits until the page says the press has ended.
    void press(const QString& name, void (SecretFormPage::*finished)()) {
        QSignalSpy done(tab.get(), finished);
        button(name)->click();
        QVERIFY(!done.isEmpty() || done.wait(15000));
    }
};
