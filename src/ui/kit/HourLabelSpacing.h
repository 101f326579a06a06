#pragma once

// Which labels of an hour scale are drawn: every step-th hour, the step the smallest of 1, 2, 3, 4, 6,
// 8, 12 and 24 hours at which two drawn labels keep a gap between them. A scale squeezed into a
// narrow row then reads 00:00, 03:00, 06:00… instead of a smear of overlapping texts.
class HourLabelSpacing {
public:
    static constexpr double gap = 6;

    // labelExtent: a label's size along the scale (its width on a horizontal scale, its height on a
    // vertical one); pixelsPerHour: the distance between two hour marks.
    static int step(double pixelsPerHour, double labelExtent);
    // Whether the label of the hour of day is drawn at that step (hours divisible by it).
    static bool isShown(int hourOfDay, int step) { return step <= 1 || hourOfDay % step == 0; }
};
