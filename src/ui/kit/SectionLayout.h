#pragma once

class QLayout;

// Helpers for sections that rebuild their rows when their state changes.
namespace SectionLayout {
// Takes every item out of the layout. Its widgets are hidden, detached and deleted once control
// returns to the event loop, since one of them may be handling the event that caused the rebuild.
void clear(QLayout* layout);
} // namespace SectionLayout
