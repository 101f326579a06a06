#pragma once

#include "platform/ClipboardTextSource.h"

// The desktop's clipboard (the CLIPBOARD selection, not the primary one) through Qt; read only.
class SystemClipboard : public ClipboardTextSource {
public:
    std::optional<QString> clipboardText() const override;
};
