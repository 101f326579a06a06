#pragma once

#include <QString>

// A share as a whole percentage and a percent sign, as printf's "%.0f%%" writes it: rounded to the
// nearest whole number, halves to the even one (12.5 → "12%", 13.5 → "14%", 74.6 → "75%").
QString shareText(double percentage);
