// The non-parametric estimate as a table, numbers to about 6 significant digits like the rest of
// the text; "-" where a bound has no value (S = 0), "inf" for an interval reaching infinity.
#include "life/nonparametric_text.h"

#include <cmath>

#include "json_text.h"
#include "life/readable_number.h"

namespace {

constexpr std::size_t columnWidth = 14;

std::string cell(const std::string& text)
{
    return text.size() < columnWidth ? text + std::string(columnWidth - text.size(), ' ') : text + " ";
}

std::string numberCell(double value) { return cell(std::isnan(value) ? "-" : readableNumber(value)); }

std::string endRow(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text + "\n";
}

} // namespace

std::string nonParametricText(const lifedata::Analysis& analysis, const lifedata::AnalysisRequest& request)
{
    if (!analysis.nonParametric)
        return "";
    const lifedata::NonParametricEstimate& estimate = *analysis.nonParametric;
    std::string text;
    if (estimate.method == lifedata::NonParametricMethod::kaplanMeier) {
        text = "\nKaplan-Meier estimate, " + jsonNumber(100 * request.confidence) +
               "% bounds on the log scale (Greenwood's variance)\n";
        text += endRow("  " + cell("time") + cell("survival") + cell("lower") + cell("upper"));
        for (const lifedata::SurvivalStep& step : estimate.steps)
            text += endRow("  " + numberCell(step.time) + numberCell(step.survival) + numberCell(step.lower) +
                           numberCell(step.upper));
    } else {
        text = "\nTurnbull estimate: the intervals (from, to] that hold probability (from = to: an exact time)\n";
        text += endRow("  " + cell("from") + cell("to") + cell("survival"));
        for (const lifedata::SurvivalStep& step : estimate.steps)
            text += endRow("  " + numberCell(step.from) + numberCell(step.time) + numberCell(step.survival));
    }
    if (estimate.steps.empty())
        text += "  (no failures: survival stays 1)\n";
    return text + "Non-parametric estimate: " + estimate.statusText + "\n";
}
