// The command line of `varnel`: what the user asked for, or why the words make no sense.
#pragma once

#include <string>

#include "life_analysis.h"
#include "probability_paper.h"
#include "life/stress_options.h"
#include "test_plan.h"

struct CliOptions {
    std::string dataFile;
    bool autoGamma = true;
    double gamma = 0.0;
    int rank = 1;
    double initialM = 1.0;
    bool writeReportFile = false;
    std::string reportPath; // "-" means standard output
    std::string plotPath;   // SVG picture of the Weibull plot; empty means none
    PaperKind paper = PaperKind::weibull; // --life --paper: the probability paper of the plot
    bool paperGiven = false;
    bool json = false;      // results as one JSON object on standard output
    double timeLimit = 0.0; // seconds; 0 means none
    bool quiet = false;
    bool mle = false;          // the life-data method (--life, or --mle): censored data, counts, intervals
    std::string lifeOption;    // "--life" or "--mle", as given, for messages
    bool twoParameter = false; // --life: fit only the two-parameter model
    bool mixture = false;      // --life --mixture: also a mixture of two Weibull populations
    unsigned threads = 0;      // --life: threads for the sums; 0 means one per hardware thread
    lifedata::EstimationMethod method = lifedata::EstimationMethod::mle; // --life --method
    bool methodGiven = false;
    std::string classicOnlyOption; // the first option given that only the classic method takes
    lifedata::AnalysisRequest bounds; // --life: its bounds and goodness-of-fit choices (the rest unused)
    bool bLifeGiven = false;          // a --b-life replaced the default percents
    std::string boundsOption;         // the first bounds or goodness-of-fit option given
    double shape = 0;                 // --shape: the known m of --mle, or the m of --plan; 0 means none
    bool plan = false;                // --plan: a test plan, from its options alone (no data file)
    lifedata::TestPlan planValues;    // --plan: the values given; units or test time is 0, to be found
    std::string likelihoodOnlyOption; // the first of them that rank regression has no use for
    std::string groupColumn;          // --life --by: the CSV column of the group keys; empty means none
    StressChoice stress;              // --stress, --celsius, --use-stress: an accelerated life model
    lifedata::ModesChoice modes = lifedata::ModesChoice::none; // --modes [2p|3p]
    bool help = false;
    bool version = false;
};

extern const char* const usageText;

// Fills `options` from the words after the program name. Returns false with a one-line reason in
// `error` for bad usage; help and version requests succeed without a data file.
bool parseOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);
