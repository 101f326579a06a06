#pragma once

#include "platform/ClipboardTextSourceProtocol.h"

// The desktop's clipboard (the CLIPBOARD selection, not the primary one) through Qt; read only.
class SystemClipboard : public ClipboardTextSourceProtocol {
public:
    std::optional<QString> clipboardText() const override;
};
