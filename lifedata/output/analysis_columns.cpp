// One walk over the columns gives both their names and a row's values, so the two cannot drift
// apart. The values are the ones the JSON document writes, under the same conditions.
#include "analysis_columns.h"

#include <cmath>
#include <limits>

#include "json_text.h"

namespace lifedata {

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

struct ModelColumns {
    const char* prefix;
    const WeibullFit* fit;
    const ModelInference* inference;
};

// Calls number(name, value) and text(name, value) for every column in order; without an analysis
// the values are placeholders and only the names count.
template <class Number, class Text>
void visitColumns(const AnalysisRequest& request, const Analysis* analysis, Number number, Text text)
{
    const Analysis empty{};
    const Analysis& a = analysis ? *analysis : empty;
    number("failures", static_cast<double>(a.data.failures));
    number("suspensions", static_cast<double>(a.data.suspensions));
    number("intervals", static_cast<double>(a.data.intervals));
    number("units", static_cast<double>(a.data.units));

    const bool likelihood = request.method == EstimationMethod::mle;
    const bool fisher = likelihood && (request.bounds == BoundsChoice::fisher || request.bounds == BoundsChoice::both);
    const bool ratio =
        likelihood && (request.bounds == BoundsChoice::likelihoodRatio || request.bounds == BoundsChoice::both);
    const bool chiSquare = likelihood && request.shape > 0 && request.bounds != BoundsChoice::none;
    std::vector<ModelColumns> models;
    if (request.model != ModelChoice::threeParameter)
        models.push_back({"2p_", &a.twoParameter, &a.twoParameterInference});
    if (request.model != ModelChoice::twoParameter && request.shape <= 0)
        models.push_back({"3p_", &a.threeParameter.fit, &a.threeParameterInference});

    for (const ModelColumns& model : models) {
        const std::string p = model.prefix;
        const WeibullFit& fit = *model.fit;
        const bool estimated = fit.status == FitStatus::ok;
        const bool given = estimated || fit.status == FitStatus::zeroFailures;
        number(p + "m", given ? fit.m : none);
        number(p + "eta", estimated ? fit.eta : none);
        number(p + "gamma", given ? fit.gamma : none);
        number(p + "log_likelihood", estimated && likelihood ? fit.logLikelihood : none);
        text(p + "status", fit.statusText);

        const ModelInference& inference = *model.inference;
        auto quantity = [&](const std::string& name, const QuantityBounds* bounds) {
            number(name, bounds ? bounds->estimate : none);
            auto sides = [&](const char* kind, bool asked, bool has, const ConfidenceInterval& interval) {
                if (!asked)
                    return;
                number(name + kind + "_lower", bounds && has ? interval.lower.value : none);
                number(name + kind + "_upper", bounds && has ? interval.upper.value : none);
            };
            const QuantityBounds& b = bounds ? *bounds : QuantityBounds{};
            sides("_fisher", fisher, b.hasFisher, b.fisher);
            sides("_lr", ratio, b.hasLikelihoodRatio, b.likelihoodRatio);
            sides("_chi_square", chiSquare, b.hasChiSquare, b.chiSquare);
        };
        const bool inferred = analysis && inference.available;
        for (std::size_t i = 0; i < request.bLifePercents.size(); ++i) {
            const bool has = inferred && i < inference.bLives.size();
            quantity(p + "B" + jsonNumber(request.bLifePercents[i]), has ? &inference.bLives[i].bounds : nullptr);
        }
        for (std::size_t i = 0; i < request.at.size(); ++i) {
            const bool has = inferred && i < inference.reliability.size();
            quantity(p + "R" + jsonNumber(request.at[i]), has ? &inference.reliability[i].bounds : nullptr);
        }
    }
    if (likelihood && request.model == ModelChoice::both && request.shape <= 0) {
        const bool compared = a.likelihoodRatio.available;
        number("lr_statistic", compared ? a.likelihoodRatio.statistic : none);
        number("lr_p_value", compared ? a.likelihoodRatio.pValue : none);
    }
}

} // namespace

AnalysisColumns analysisColumns(const AnalysisRequest& request)
{
    AnalysisColumns columns;
    visitColumns(
        request, nullptr,
        [&](const std::string& name, double) {
            columns.numbers.push_back(name);
            columns.order.push_back(name);
        },
        [&](const std::string& name, const std::string&) {
            columns.texts.push_back(name);
            columns.order.push_back(name);
        });
    return columns;
}

void writeAnalysisRow(const Analysis& analysis, const AnalysisRequest& request, double* const* numbers,
                      std::string* const* texts, std::size_t row)
{
    std::size_t number = 0;
    std::size_t text = 0;
    visitColumns(
        request, &analysis, [&](const std::string&, double value) { numbers[number++][row] = value; },
        [&](const std::string&, const std::string& value) { texts[text++][row] = value; });
}

} // namespace lifedata
