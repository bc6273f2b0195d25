// Values use the data file's number syntax and must be a number as a whole; counts and seeds are
// digits only, so that "1e3" or "-1" is refused rather than read as something else.
#include "life/bounds_options.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "number_syntax.h"

const char* const boundsUsageText =
    "      --confidence C     two-sided confidence of the bounds, 0.5 to 0.9999 (default 0.95)\n"
    "      --b-life P         B-life (time by which P percent fail) with bounds; repeatable (default 1 and 10)\n"
    "      --at T             reliability at time T with bounds; repeatable\n"
    "      --bounds KIND      none, fisher, lr or both (default both)\n"
    "      --bootstrap B      goodness-of-fit p-value from B parametric bootstrap refits (default 0: none)\n"
    "      --seed S           seed of the bootstrap, a whole number (default 20240613)\n";

namespace {

// Digits only, at most `limit`.
bool digits(const char* word, std::uint64_t limit, std::uint64_t& value)
{
    if (*word == '\0')
        return false;
    value = 0;
    for (const char* c = word; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        const std::uint64_t digit = static_cast<std::uint64_t>(*c - '0');
        if (value > (limit - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

} // namespace

bool isBoundsOption(const std::string& name)
{
    return name == "--confidence" || name == "--b-life" || name == "--at" || name == "--bounds" ||
           name == "--bootstrap" || name == "--seed";
}

bool applyBoundsOption(const std::string& name, const char* value, lifedata::AnalysisRequest& request,
                       bool& bLifeGiven, std::string& error)
{
    using lifedata::BoundsChoice;
    if (name == "--bounds") {
        const std::string kind = value;
        if (kind == "none")
            request.bounds = BoundsChoice::none;
        else if (kind == "fisher")
            request.bounds = BoundsChoice::fisher;
        else if (kind == "lr")
            request.bounds = BoundsChoice::likelihoodRatio;
        else if (kind == "both")
            request.bounds = BoundsChoice::both;
        else {
            error = "option --bounds needs none, fisher, lr or both, not '" + kind + "'";
            return false;
        }
        return true;
    }
    if (name == "--bootstrap" || name == "--seed") {
        std::uint64_t number = 0;
        const bool bootstrap = name == "--bootstrap";
        if (!digits(value, bootstrap ? lifedata::maximumBootstrapSamples : UINT64_MAX, number)) {
            error = bootstrap ? "option --bootstrap needs a whole number of samples from 0 to " +
                                    std::to_string(lifedata::maximumBootstrapSamples) + ", not '" + value + "'"
                              : std::string("option --seed needs a whole number (digits only), not '") + value + "'";
            return false;
        }
        if (bootstrap)
            request.bootstrap = static_cast<unsigned>(number);
        else
            request.seed = number;
        return true;
    }
    double number = 0;
    if (!readWholeNumber(value, number)) {
        error = "option " + name + " needs a number, not '" + value + "'";
        return false;
    }
    if (name == "--confidence") {
        if (!(number >= 0.5 && number <= 0.9999)) {
            error = std::string("confidence must be from 0.5 to 0.9999, not '") + value + "'";
            return false;
        }
        request.confidence = number;
    } else if (name == "--b-life") {
        if (!(number > 0 && number < 100)) {
            error = std::string("a B-life percent must be above 0 and below 100, not '") + value + "'";
            return false;
        }
        if (!bLifeGiven)
            request.bLifePercents.clear();
        bLifeGiven = true;
        request.bLifePercents.push_back(number);
    } else {
        request.at.push_back(number);
    }
    return true;
}
