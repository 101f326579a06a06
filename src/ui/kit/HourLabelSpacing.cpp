#include "ui/kit/HourLabelSpacing.h"

#include <array>

int HourLabelSpacing::step(double pixelsPerHour, double labelExtent) {
    static constexpr std::array<int, 8> steps{1, 2, 3, 4, 6, 8, 12, 24};
    for (const int candidate : steps) {
        if (candidate * pixelsPerHour >= labelExtent + gap) {
            return candidate;
        }
    }
    return steps.back();
}
