#pragma once

#include "services/usage/PathUsage.h"
#include "ui/reports/BreakdownCard.h"

#include <QList>

// The Paths card: every file or project of the day, longest first, each with its time, an icon for
// its kind in orange and its display name, the whole path as its tool tip.
class PathsSection : public BreakdownCard {
    Q_OBJECT

public:
    explicit PathsSection(const QList<PathUsage>& paths, QWidget* parent = nullptr);
};
