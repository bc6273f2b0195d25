// The accelerated-model options. A use stress is written like the data's stresses (in Celsius
// with --celsius), so its range is checked by the analysis, which knows the scale.
#include "life/stress_options.h"

#include "number_syntax.h"

const char* const stressUsageText =
    "      --stress MODEL     accelerated life: every data line ends with its stress, after a state\n"
    "                         and a count (VALUE F|S COUNT STRESS, LOW HIGH I COUNT STRESS); fits a\n"
    "                         common m and ln eta = a + b x with x = 1/S in kelvin (arrhenius), ln S\n"
    "                         (power) or S (exponential); --plot FILE draws a line per stress, and\n"
    "                         life against stress into FILE with -life-stress before its extension\n"
    "      --celsius          arrhenius stresses (and use stresses) in degrees Celsius\n"
    "      --use-stress S0    eta, B-lives and reliabilities at stress S0 with bounds (repeatable)\n";

bool isStressOption(const std::string& name) { return name == "--stress" || name == "--use-stress"; }

bool applyStressOption(const std::string& name, const char* value, StressChoice& choice, std::string& error)
{
    if (name == "--stress") {
        if (!lifedata::stressModelFromName(value, choice.model)) {
            error = std::string("option --stress needs arrhenius, power or exponential, not '") + value + "'";
            return false;
        }
        choice.given = true;
        return true;
    }
    double number = 0;
    if (!readWholeNumber(value, number)) {
        error = std::string("option --use-stress needs a number, not '") + value + "'";
        return false;
    }
    choice.use.push_back(number);
    return true;
}

bool checkStressChoice(const StressChoice& choice, const StressContext& context, std::string& error)
{
    if (!choice.given) {
        if (choice.celsius || !choice.use.empty())
            error = std::string(choice.celsius ? "--celsius" : "--use-stress") + " needs --stress";
        return error.empty();
    }
    if (!context.life)
        error = "--stress needs --life";
    else if (!context.mle)
        error = "--stress needs --method mle: the accelerated model is a likelihood fit";
    else if (context.otherModel)
        error = "--stress cannot be used with --shape, -g or --two-parameter: it fits its own model";
    else if (context.bootstrap != 0)
        error = "--bootstrap cannot be used with --stress";
    // Refused rather than ignored: the accelerated model is drawn on Weibull paper only.
    else if (context.paper)
        error = "--paper cannot be used with --stress: the stresses are drawn on Weibull paper";
    else if (choice.celsius && choice.model != lifedata::StressModel::arrhenius)
        error = "--celsius needs --stress arrhenius: it gives temperatures";
    return error.empty();
}
