// The mixture's text: a table of estimates and Fisher bounds, then the log-likelihood, AICc and
// BIC beside one Weibull's. No p-value for the likelihood ratio: with a weight that can sit at 0 or
// 1 it is not chi-square distributed, and a number would suggest a test that is not there.
#include "life/mixture_text.h"

#include <cmath>

#include "life/readable_number.h"
#include "life/text_columns.h"

namespace {

constexpr std::size_t labelWidth = 22;
constexpr std::size_t columnWidth = 20;

std::string row(std::initializer_list<std::string> cells)
{
    std::string text;
    std::size_t width = labelWidth;
    for (const std::string& cell : cells) {
        text += cell;
        if (text.size() < width)
            text.append(width - text.size(), ' ');
        width = text.size() + columnWidth;
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text + "\n";
}

// The layout of the other models' bounds: name, estimate, then "lower .. upper".
constexpr std::size_t nameWidth = 16;
constexpr std::size_t numberWidth = 13;

std::string sideText(const lifedata::BoundSide& side)
{
    return padded(side.text.empty() ? readableSigned(side.value) : " " + side.text, numberWidth);
}

std::string boundsRow(const std::string& name, const lifedata::QuantityBounds& bounds)
{
    std::string line = padded("  " + name, nameWidth) + padded(readableSigned(bounds.estimate), numberWidth) + "  ";
    if (bounds.hasFisher)
        line += sideText(bounds.fisher.lower) + " .." + sideText(bounds.fisher.upper);
    while (line.back() == ' ')
        line.pop_back();
    return line + "\n";
}

std::string estimatesTable(const lifedata::MixtureInference& inference)
{
    std::string text = "  Bounds at confidence " + readableNumber(inference.confidence) + "\n";
    text += padded("  quantity", nameWidth + 1) + padded("estimate", numberWidth + 2) + "Fisher matrix\n";
    text += boundsRow("p", inference.p);
    text += boundsRow("m1", inference.m[0]);
    text += boundsRow("eta1", inference.eta[0]);
    text += boundsRow("m2", inference.m[1]);
    text += boundsRow("eta2", inference.eta[1]);
    for (const lifedata::BLifeBounds& b : inference.bLives)
        text += boundsRow("B" + readableNumber(b.percent), b.bounds);
    for (const lifedata::ReliabilityBounds& r : inference.reliability)
        text += boundsRow("R(" + readableNumber(r.at) + ")", r.bounds);
    if (!inference.fisherNote.empty())
        text += "  No Fisher bounds: " + inference.fisherNote + ".\n";
    return text;
}

std::string startsText(const lifedata::MixtureFit& fit)
{
    std::string text = "Starts: " + std::to_string(fit.starts);
    if (fit.status == lifedata::MixtureStatus::ok)
        text += ", " + std::to_string(fit.startsAtMaximum) + " of them reached this maximum";
    return text + "\n";
}

} // namespace

std::string mixtureText(const lifedata::MixtureAnalysis& mixture)
{
    const lifedata::MixtureFit& fit = mixture.fit;
    std::string text = "\nMixture of two Weibull populations, F = p F1 + (1 - p) F2: " + fit.statusText + "\n";
    if (fit.status != lifedata::MixtureStatus::ok) {
        text += "One Weibull holds: m = " + readableNumber(mixture.oneM) + ", eta = " + readableNumber(mixture.oneEta) +
                "\n";
        return text + startsText(fit);
    }
    text += estimatesTable(mixture.inference);
    text += "\n" + row({"", " one Weibull", " mixture"});
    text += row({"log-likelihood", readableSigned(mixture.oneLogLikelihood), readableSigned(fit.logLikelihood)});
    text += row({"AICc", readableSigned(mixture.oneCriteria.aicc), readableSigned(mixture.inference.criteria.aicc)});
    text += row({"BIC", readableSigned(mixture.oneCriteria.bic), readableSigned(mixture.inference.criteria.bic)});
    text += startsText(fit);
    return text + "The likelihood ratio against one Weibull is not chi-square distributed: no p-value is given.\n";
}
