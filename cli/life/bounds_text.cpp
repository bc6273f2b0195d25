// Each row is a quantity with its estimate and, per kind of bounds, "lower .. upper"; a side that is
// no plain number has its words in its column or on a line under the row, so a reader never
// mistakes an open or cut side for a plain value, and the columns stay in line.
#include "life/bounds_text.h"

#include <cmath>

#include "json_text.h"
#include "life/readable_number.h"
#include "life/text_columns.h"

using namespace lifedata;

namespace {

// Every number of the table takes the same width, its sign's place included: the longest
// readable number is "-1.23457e+308".
constexpr std::size_t numberWidth() { return 13; }

std::string number(double value) { return padded(readableSigned(value), numberWidth()); }

// Words of a side that fit where its number would stand: a side without a number and short words.
bool wordsInColumn(const BoundSide& s) { return std::isnan(s.value) && s.text.size() < numberWidth(); }

std::string side(const BoundSide& s)
{
    if (!std::isnan(s.value))
        return number(s.value);
    return padded(" " + (wordsInColumn(s) ? s.text : std::string("see below")), numberWidth());
}

constexpr std::size_t nameWidth = 16;
constexpr std::size_t intervalWidth = 2 * numberWidth() + 5;

std::string interval(bool present, const ConfidenceInterval& bounds)
{
    if (!present)
        return padded("  -", intervalWidth);
    return padded(side(bounds.lower) + " .." + side(bounds.upper), intervalWidth);
}

// The words of the sides that do not fit in their column, one line each under the row, so that
// the columns stay in line.
std::string sideNotes(const QuantityBounds& q)
{
    std::string notes;
    const auto note = [&](bool present, const BoundSide& s, const char* which) {
        if (present && !s.text.empty() && !wordsInColumn(s))
            notes += padded("", nameWidth) + which + ": " + s.text + "\n";
    };
    note(q.hasFisher, q.fisher.lower, "Fisher lower bound");
    note(q.hasFisher, q.fisher.upper, "Fisher upper bound");
    note(q.hasLikelihoodRatio, q.likelihoodRatio.lower, "likelihood-ratio lower bound");
    note(q.hasLikelihoodRatio, q.likelihoodRatio.upper, "likelihood-ratio upper bound");
    return notes;
}

// A table line without the padding of its last column.
std::string ended(std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line + "\n";
}

std::string row(const std::string& name, const QuantityBounds& q, bool estimateOnly, bool noBounds = false)
{
    std::string line = padded("  " + name, nameWidth) + number(q.estimate) + "  ";
    if (estimateOnly)
        return ended(line);
    if (noBounds)
        return line + "(at or below gamma: no bounds)\n";
    return ended(line + interval(q.hasFisher, q.fisher) + "  " + interval(q.hasLikelihoodRatio, q.likelihoodRatio)) +
           sideNotes(q);
}

// A percent, time or statistic in its shortest exact form, for names and sentences.
std::string label(double value) { return jsonNumber(value); }

std::string goodnessOfFitText(const GoodnessOfFit& fit)
{
    std::string text = "  Goodness of fit: ";
    if (!fit.defined)
        return text + "Anderson-Darling " + fit.reason + "\n";
    text += "Anderson-Darling A^2 = " + readableNumber(fit.andersonDarling);
    if (fit.bootstrapSamples == 0)
        return text + "; for a p-value, run with --bootstrap B (e.g. --bootstrap 1000)\n";
    text += ", p-value " + (std::isnan(fit.pValue) ? std::string("none (no refit had an interior maximum)")
                                                    : readableNumber(fit.pValue));
    text += " from " + std::to_string(fit.bootstrapSamples - fit.failedRefits) + " of " +
            std::to_string(fit.bootstrapSamples) + " bootstrap refits (seed " + std::to_string(fit.seed) + ")";
    if (fit.failedRefits > 0)
        text += "; " + std::to_string(fit.failedRefits) + " left out: their refit had no interior maximum";
    return text + "\n";
}

std::string bLifeName(double percent)
{
    std::string name = "B";
    return name += label(percent);
}

// A known shape has one kind of bounds: chi-square, or likelihood ratio where there are intervals.
// Without failures there is no estimate, only bounds.
std::string knownShapeRow(const std::string& name, const QuantityBounds& q, bool noBounds = false)
{
    const std::string estimate = std::isnan(q.estimate) ? padded("  -", numberWidth()) : number(q.estimate);
    const std::string line = padded("  " + name, nameWidth) + estimate + "  ";
    if (noBounds)
        return line + "(at or below gamma: no bounds)\n";
    const bool chiSquare = q.hasChiSquare;
    return ended(line + interval(chiSquare || q.hasLikelihoodRatio, chiSquare ? q.chiSquare : q.likelihoodRatio));
}

std::string knownShapeText(const ModelInference& inference)
{
    std::string text = "  Bounds at confidence " + label(inference.confidence) + ", m known\n";
    text += padded(padded("  quantity", nameWidth) + " estimate", nameWidth + numberWidth() + 2) +
            (inference.eta.hasLikelihoodRatio ? " likelihood ratio" : " chi-square") + "\n";
    text += knownShapeRow("eta", inference.eta);
    for (const BLifeBounds& b : inference.bLives)
        text += knownShapeRow(bLifeName(b.percent), b.bounds);
    for (const ReliabilityBounds& r : inference.reliability)
        text += knownShapeRow("R(" + label(r.at) + ")", r.bounds, r.at <= inference.gamma.estimate);
    if (!std::isnan(inference.etaLowerOneSided))
        text += "  Weibayes: eta >= " + readableNumber(inference.etaLowerOneSided) + " at one-sided confidence " +
                label(inference.confidence) + "\n";
    return text + goodnessOfFitText(inference.goodnessOfFit);
}

// Column heads over the widths of row().
std::string headsText(bool estimateOnly)
{
    std::string heads = padded("  quantity", nameWidth) + " estimate";
    if (!estimateOnly)
        heads = padded(heads, nameWidth + numberWidth() + 2) + padded(" Fisher matrix", intervalWidth + 2) +
                " likelihood ratio";
    return heads + "\n";
}

std::string lifeRowsText(const std::vector<BLifeBounds>& bLives, const std::vector<ReliabilityBounds>& reliability,
                         double gamma, bool estimateOnly)
{
    std::string text;
    for (const BLifeBounds& b : bLives)
        text += row(bLifeName(b.percent), b.bounds, estimateOnly);
    for (const ReliabilityBounds& r : reliability)
        text += row("R(" + label(r.at) + ")", r.bounds, estimateOnly, r.at <= gamma);
    return text;
}

} // namespace

std::string boundsTableText(const ModelInference& inference)
{
    const bool estimateOnly = !inference.maximumLikelihood;
    std::string text;
    if (!estimateOnly)
        text += "  Bounds at confidence " + label(inference.confidence) + "\n";
    if (!inference.fisherNote.empty())
        text += "  Note: " + inference.fisherNote + "\n";
    text += headsText(estimateOnly);
    text += row("m", inference.m, estimateOnly);
    text += row("eta", inference.eta, estimateOnly);
    if (inference.threeParameter)
        text += row("gamma", inference.gamma, estimateOnly);
    return text + lifeRowsText(inference.bLives, inference.reliability, inference.gamma.estimate, estimateOnly);
}

std::string inferenceText(const ModelInference& inference)
{
    if (!inference.available)
        return "";
    if (inference.shapeFixed)
        return knownShapeText(inference);
    const std::string text = boundsTableText(inference);
    return inference.maximumLikelihood ? text + goodnessOfFitText(inference.goodnessOfFit) : text;
}

std::string systemBoundsText(const SystemReliability& system)
{
    std::string text = "  Bounds at confidence " + label(system.confidence) + "\n";
    if (!system.fisherNote.empty())
        text += "  Note: " + system.fisherNote + "\n";
    return text + headsText(false) + lifeRowsText(system.bLives, system.reliability, system.gamma, false);
}

std::string distributionBoundsText(const DistributionInference& inference, const std::vector<std::string>& names,
                                   double location)
{
    if (!inference.available)
        return "";
    std::string text = "  Bounds at confidence " + label(inference.confidence) + "\n";
    if (!inference.fisherNote.empty())
        text += "  Note: " + inference.fisherNote + "\n";
    text += padded(padded("  quantity", nameWidth) + " estimate", nameWidth + numberWidth() + 2) +
            padded(" Fisher matrix", intervalWidth + 2) + " likelihood ratio\n";
    for (std::size_t i = 0; i < names.size() && i < inference.parameters.size(); ++i) {
        const QuantityBounds& q = inference.parameters[i];
        // A location on the boundary of its range has its estimate alone.
        text += row(names[i], q, !q.hasFisher && !q.hasLikelihoodRatio);
    }
    for (const BLifeBounds& b : inference.bLives)
        text += row(bLifeName(b.percent), b.bounds, false);
    for (const ReliabilityBounds& r : inference.reliability)
        text += row("R(" + label(r.at) + ")", r.bounds, false, r.at <= location);
    return text;
}
std::string boundsTableHead(double confidence)
{
    return "  Bounds at confidence " + label(confidence) + "\n" +
           padded(padded("  quantity", nameWidth) + " estimate", nameWidth + numberWidth() + 2) +
           padded(" Fisher matrix", intervalWidth + 2) + " likelihood ratio\n";
}

std::string boundsRowText(const std::string& name, const QuantityBounds& bounds, bool noBounds)
{
    return row(name, bounds, false, noBounds);
}

std::string bLifeRowName(double percent) { return bLifeName(percent); }
