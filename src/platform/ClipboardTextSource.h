#pragma once

#include <QString>

#include <optional>

// Read access to the clipboard's text. Readers never clear or change it.
class ClipboardTextSource {
public:
    virtual ~ClipboardTextSource() = default;

    // The clipboard's plain text, or none when it holds no text.
    virtual std::optional<QString> clipboardText() const = 0;
};
