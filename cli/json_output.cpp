// JSON of a run. Numbers are written in the shortest form that parses back to the same double, so
// a script gets the run's values bit for bit; JSON has no infinities or NaNs, so those are null with
// the program's own number text beside them.
#include "json_output.h"

#include <charconv>
#include <cmath>

#include "estimation_state.h"
#include "number_text.h"
#include "plotting_position.h"
#include "shape_newton.h"
#include "utf8_text.h"

namespace {

const char hexDigits[] = "0123456789abcdef";

void appendUnicodeEscape(std::string& out, char32_t c)
{
    out += "\\u00";
    out += hexDigits[(c >> 4) & 0xF];
    out += hexDigits[c & 0xF];
}

// Members of one object, one per line, in the order they are added.
class JsonObject {
public:
    explicit JsonObject(int depth) : indent_(2 * (depth + 1), ' '), closeIndent_(2 * depth, ' ') {}

    void add(const char* key, const std::string& valueText)
    {
        text_ += first_ ? "{\n" : ",\n";
        first_ = false;
        text_ += indent_ + "\"" + key + "\": " + valueText;
    }
    void addBool(const char* key, bool value) { add(key, value ? "true" : "false"); }
    // A number, or null with its text in "<key>Text" when it has no JSON form.
    void addNumber(const char* key, double value)
    {
        add(key, jsonNumber(value));
        if (!std::isfinite(value))
            add((std::string(key) + "Text").c_str(), jsonString(formatScientific(value, 12, 8)));
    }
    std::string close() const { return first_ ? "{}" : text_ + "\n" + closeIndent_ + "}"; }

private:
    std::string indent_;
    std::string closeIndent_;
    std::string text_;
    bool first_ = true;
};

std::string inputsJson()
{
    JsonObject inputs(1);
    inputs.add("dataFile", jsonString(state.RFile));
    inputs.add("rankMethod", std::to_string(state.Fi));
    inputs.add("rankMethodLabel", jsonString(rankMethodLabel(state.Fi)));
    inputs.addBool("gammaSearched", state.autoGamma == 1);
    if (state.autoGamma != 1)
        inputs.addNumber("gamma", state.gamma);
    inputs.addNumber("initialM", state.initialM);
    return inputs.close();
}

std::string resultsJson()
{
    JsonObject results(1);
    results.addNumber("m", state.m);
    results.addNumber("t0", state.t0);
    results.addNumber("gamma", state.gamma);
    results.addNumber("mu", state.mu);
    results.addNumber("xi", state.xi);
    results.addNumber("tm", state.tm);
    results.addNumber("sigma2", state.sigma2);
    return results.close();
}

std::string errorJson(const RunFailure& failure)
{
    JsonObject error(1);
    error.add("caption", jsonString(failure.caption));
    error.add("text", jsonString(failure.text));
    if (!failure.reason.empty())
        error.add("reason", jsonString(failure.reason));
    return error.close();
}

const char* stopCauseName(StopCause stop) { return stop == StopCause::timeLimit ? "time limit" : "interrupt"; }

// The iteration's ending in words; a stop names the time limit when that was what stopped it.
const char* endingText(StopCause stop)
{
    if (state.iterationEnding == IterationEnding::stopped && stop == StopCause::timeLimit)
        return "time limit";
    return iterationEndingName(state.iterationEnding);
}

} // namespace

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = nextCharacter(text, pos);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || (c >= 0x80 && pos - start == 1)) {
            appendUnicodeEscape(out, c);
        } else {
            appendUtf8(out, c);
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    // "-0" would be read as the integer 0 by most parsers, losing the sign.
    if (value == 0 && std::signbit(value))
        return "-0.0";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string runJson(StopCause stop, const RunFailure& failure)
{
    const bool succeeded = state.samplesHeld == 1;
    const bool stopped = succeeded && state.iterationEnding == IterationEnding::stopped;
    JsonObject run(0);
    run.add("inputs", inputsJson());
    run.add("n", std::to_string(state.n));
    run.addBool("stopped", stopped);
    if (stopped)
        run.add("stopCause", jsonString(stopCauseName(stop)));
    run.add("ending", succeeded ? jsonString(endingText(stop)) : "null");
    run.add("results", succeeded ? resultsJson() : "null");
    run.add("error", succeeded ? "null" : errorJson(failure));
    return run.close() + "\n";
}
