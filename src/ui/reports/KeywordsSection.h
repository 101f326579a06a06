#pragma once

#include "services/usage/KeywordUsage.h"
#include "ui/reports/BreakdownCard.h"

#include <QList>

// The Keywords card: every window-title word of the day, longest first, each with its time and a
// purple dot (the number of occurrences is not shown).
class KeywordsSection : public BreakdownCard {
    Q_OBJECT

public:
    explicit KeywordsSection(const QList<KeywordUsage>& keywords, QWidget* parent = nullptr);
};
