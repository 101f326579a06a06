#pragma once

#include <QCoroTask>
#include <QString>

#include <optional>

// The secret store: one UTF-8 text per item name (see KeychainItem).
class SecretStore {
public:
    // Whether the store could be asked at its last read.
    enum class Access {
        available,
        // The user cancelled the prompt to unlock it: reads give none, without asking again, until
        // allowUnlockPrompt().
        locked,
        // No secret store runs at all.
        unavailable,
    };

    virtual ~SecretStore() = default;

    // The stored text without surrounding whitespace, or none when the item is missing, unreadable
    // or not UTF-8. Never throws; the reason goes to the debug log.
    virtual QCoro::Task<std::optional<QString>> getValue(QString key) = 0;
    // Stores the text under the name, replacing any earlier value in one step: when the write
    // fails the earlier value stays. An empty text is a value; a text with a NUL character or a lone
    // surrogate is refused (encodingFailed). Throws KeychainError.
    virtual QCoro::Task<> setValue(QString value, QString key) = 0;
    // Removes the item; a missing item counts as removed. Throws KeychainError.
    virtual QCoro::Task<> deleteValue(QString key) = 0;

    virtual Access access() const { return Access::available; }
    // The next read may ask the user to unlock the store again (the user opened the popover or
    // saved the settings).
    virtual void allowUnlockPrompt() {}
};
