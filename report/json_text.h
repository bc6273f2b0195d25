// JSON text: numbers, strings and objects as the programs write them. Numbers are written in the
// shortest form that parses back to the same double, so a script gets the values bit for bit; JSON
// has no infinities or NaNs, so those are null with the program's own number text beside them.
#pragma once

#include <string>

// A JSON string literal of the bytes of `text`, quotes included. Bytes that are not valid UTF-8 are
// written as \u0080 to \u00FF, the character of the same number.
std::string jsonString(const std::string& text);

// The shortest text that reads back as exactly `value` ("-0.0" for negative zero, which parsers
// would read as an integer otherwise); "null" for an infinity or a NaN.
std::string jsonNumber(double value);

// Members of one object, one per line, in the order they are added.
class JsonObject {
public:
    explicit JsonObject(int depth) : indent_(2 * (depth + 1), ' '), closeIndent_(2 * depth, ' ') {}

    void add(const char* key, const std::string& valueText)
    {
        text_ += first_ ? "{\n" : ",\n";
        first_ = false;
        // Appended piece by piece: no temporary strings, for the many documents of a fleet.
        text_ += indent_;
        text_ += '"';
        text_ += key;
        text_ += "\": ";
        text_ += valueText;
    }
    void addBool(const char* key, bool value) { add(key, value ? "true" : "false"); }
    // A number, or null with its text in "<key>Text" when it has no JSON form.
    void addNumber(const char* key, double value);
    // The number where it is known, else null: an estimate that a failed fit does not have.
    void addNumberOrNull(const char* key, double value, bool known)
    {
        if (known)
            addNumber(key, value);
        else
            add(key, "null");
    }
    std::string close() const { return first_ ? "{}" : text_ + "\n" + closeIndent_ + "}"; }

private:
    std::string indent_;
    std::string closeIndent_;
    std::string text_;
    bool first_ = true;
};
