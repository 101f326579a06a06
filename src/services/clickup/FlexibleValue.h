#pragma once

#include <QString>

#include <variant>

class JsonReader;

// One JSON scalar that ClickUp sends sometimes as text and sometimes as a number.
struct FlexibleValue {
    std::variant<QString, qint64, double> value;

    bool isString() const { return std::holds_alternative<QString>(value); }
    bool isInt() const { return std::holds_alternative<qint64>(value); }
    bool isDouble() const { return std::holds_alternative<double>(value); }

    // A string, else a whole number (Int), else any number (Double); anything else fails with
    // typeMismatch "Expected String, Int, or Double".
    static FlexibleValue fromJson(const JsonReader& json);

    bool operator==(const FlexibleValue&) const = default;
};
