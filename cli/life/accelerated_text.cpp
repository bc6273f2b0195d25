// The accelerated model's text: the same numbers as its JSON to about 6 significant digits, and
// the same bounds tables as a plain fit.
#include "life/accelerated_text.h"

#include <cmath>

#include "json_text.h"
#include "life/analysis_text.h"
#include "life/bounds_text.h"
#include "life/readable_number.h"
#include "life/text_columns.h"

using namespace lifedata;

namespace {

// The model's law, and on a line of its own what its stress is.
std::string modelLines(const AcceleratedFit& fit)
{
    switch (fit.model) {
    case StressModel::arrhenius:
        return std::string("Arrhenius, ln eta = a + b / T, common shape m\n  T = ") +
               (fit.celsius ? "stress + 273.15 (stresses in degrees Celsius)\n" : "stress in kelvin\n");
    case StressModel::power:
        return "inverse power law, ln eta = a + b ln S, common shape m\n";
    case StressModel::exponential:
        break;
    }
    return "exponential, ln eta = a + b S, common shape m\n";
}

std::string estimatesText(const AcceleratedFit& fit)
{
    std::string text = "Accelerated life model: " + modelLines(fit);
    if (fit.status != FitStatus::ok)
        return text + "  fit: " + fit.statusText + "\n";
    text += "  m = " + readableNumber(fit.m) + ", a = " + readableNumber(fit.a) + ", b = " + readableNumber(fit.b) + "\n";
    if (fit.model == StressModel::arrhenius)
        text += "  activation energy b k_B = " + readableNumber(fit.b * boltzmannElectronVolts) + " eV\n";
    return text + "  log-likelihood " + readableNumber(fit.logLikelihood) + "; fit: " + fit.statusText + "\n";
}

std::string stressesText(const std::vector<StressGroup>& groups)
{
    std::string text = "\nEach stress's own fit:\n";
    text += "  " + padded("stress", 14) + padded("units", 8) + padded("failures", 10) + padded("eta", 14) + "m\n";
    for (const StressGroup& g : groups) {
        std::string line = "  " + padded(readableNumber(g.stress), 14) + padded(std::to_string(g.units), 8) +
                           padded(std::to_string(g.failures), 10);
        if (g.fit.status == FitStatus::ok)
            line += padded(readableNumber(g.fit.eta), 14) + readableNumber(g.fit.m);
        else
            line += g.failures == 0 ? "no failures" : g.fit.statusText;
        text += line + "\n";
    }
    return text;
}

std::string commonShapeText(const CommonShapeTest& test)
{
    if (!test.available)
        return "Common shape test: none (" + test.note + ")\n";
    return "Common shape test: 2 (l separate - l common) = " + readableNumber(test.statistic) + ", " +
           jsonNumber(test.degreesOfFreedom) + " degrees of freedom, p-value = " + readableNumber(test.pValue) +
           " (chi-square)\n";
}

std::string useText(const UseStressBounds& use, double confidence)
{
    std::string text = "\nAt stress " + jsonNumber(use.stress) + ":\n" + boundsTableHead(confidence);
    text += boundsRowText("eta", use.eta);
    for (const BLifeBounds& b : use.bLives)
        text += boundsRowText(bLifeRowName(b.percent), b.bounds);
    for (const ReliabilityBounds& r : use.reliability)
        text += boundsRowText("R(" + jsonNumber(r.at) + ")", r.bounds, !(r.at > 0));
    return text;
}

} // namespace

std::string acceleratedText(const AcceleratedAnalysis& analysis)
{
    const AcceleratedFit& fit = analysis.fit;
    const AcceleratedInference& inference = analysis.inference;
    std::string text = dataSummaryText(analysis.data) + "\n" + estimatesText(fit);
    if (inference.available) {
        if (!inference.fisherNote.empty())
            text += "  Note: " + inference.fisherNote + "\n";
        text += boundsTableHead(inference.confidence);
        text += boundsRowText("m", inference.m);
        text += boundsRowText("a", inference.a);
        text += boundsRowText("b", inference.b);
    }
    text += stressesText(fit.groups);
    text += commonShapeText(fit.commonShape);
    for (const UseStressBounds& use : inference.use)
        text += useText(use, inference.confidence);
    return text;
}
