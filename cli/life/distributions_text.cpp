// One row per distribution in rank order; the parameters of each as name=value, since the families
// have different ones. Numbers to about 6 significant digits.
#include "life/distributions_text.h"

#include "life/bounds_text.h"
#include "life/readable_number.h"
#include "life/text_columns.h"

namespace {

using lifedata::DistributionResult;

std::string ended(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line + "\n";
}

constexpr std::size_t rankWidth = 6;
constexpr std::size_t nameWidth = 14;
constexpr std::size_t parametersWidth = 42;
constexpr std::size_t numberWidth = 16;

std::string parametersText(const DistributionResult& result)
{
    if (!result.estimated)
        return "-";
    std::string text;
    for (std::size_t i = 0; i < result.parameterNames.size(); ++i)
        text += (i == 0 ? "" : " ") + result.parameterNames[i] + "=" + readableNumber(result.parameters[i]);
    return text;
}

std::string numberText(const DistributionResult& result, double value)
{
    return result.estimated && value == value ? readableSigned(value) : " -";
}

std::string rankingRow(const DistributionResult& r)
{
    // Parameters longer than their column push the rest along rather than being cut.
    const std::string parameters = parametersText(r);
    return ended(padded(r.rank > 0 ? std::to_string(r.rank) : "-", rankWidth) + padded(r.name, nameWidth) +
                 padded(parameters, parametersWidth - 1) + " " + padded(numberText(r, r.logLikelihood), numberWidth) +
                 padded(numberText(r, r.criteria.aicc), numberWidth) + padded(numberText(r, r.criteria.bic), numberWidth) +
                 r.status);
}

} // namespace

std::string distributionsText(const std::vector<DistributionResult>& distributions)
{
    std::string text = "Distributions ranked by AICc (then BIC):\n";
    text += ended(padded("rank", rankWidth) + padded("distribution", nameWidth) + padded("parameters", parametersWidth) +
                  padded(" log-likelihood", numberWidth) + padded(" AICc", numberWidth) + padded(" BIC", numberWidth) +
                  "status");
    for (const DistributionResult& result : distributions)
        text += rankingRow(result);
    for (const DistributionResult& result : distributions) {
        if (result.estimated && result.inference.available)
            text += "\n" + result.name + "\n" +
                    distributionBoundsText(result.inference, result.parameterNames, result.location);
    }
    return text;
}
