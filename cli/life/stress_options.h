// The options of an accelerated life analysis: --stress MODEL, --celsius and --use-stress S0.
#pragma once

#include <string>
#include <vector>

#include "accelerated_life.h"
#include "life_analysis.h"

extern const char* const stressUsageText;

struct StressChoice {
    bool given = false; // --stress
    lifedata::StressModel model = lifedata::StressModel::arrhenius;
    bool celsius = false;
    std::vector<double> use; // --use-stress, in the order given
};

// True for --stress and --use-stress, the options with a value.
bool isStressOption(const std::string& name);

// Applies the value of option `name`, or returns false with a one-line reason in `error`.
bool applyStressOption(const std::string& name, const char* value, StressChoice& choice, std::string& error);

// What else the command line holds that bears on the choice.
struct StressContext {
    bool life;             // --life or --mle
    bool mle;              // the method is maximum likelihood
    bool otherModel;       // --shape, -g or --two-parameter: a model of their own
    unsigned bootstrap;    // --bootstrap samples
    bool paper;            // --paper
};

// False with the reason in `error` for a choice that makes no sense with the rest.
bool checkStressChoice(const StressChoice& choice, const StressContext& context, std::string& error);
