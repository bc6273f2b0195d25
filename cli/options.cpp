// Parsing of the command line. Option values use the data file's number syntax, but must be a
// number as a whole: "1.5x" is refused rather than read as 1.5.
#include "options.h"

#include <cmath>
#include <cstring>

#include "life/bounds_options.h"
#include "life/distribution_options.h"
#include "life/plan_options.h"
#include "number_syntax.h"

const char* const usageText =
    "Usage: varnel [options] DATAFILE\n"
    "Estimates the shape m, scale t0 and location gamma of a Weibull distribution from DATAFILE\n"
    "(one number at the start of each data line), with the mean, median, mode and variance.\n"
    "\n"
    "  -g, --gamma VALUE      use this location parameter (default: search it, as Auto Gamma does)\n"
    "  -r, --rank N           plotting-position formula 1 to 4 (default 1, i/(n+1))\n"
    "                         1 i/(n+1), 2 (i-1)/(n-1), 3 (i-0.3)/(n+0.4), 4 (i-0.5)/n\n"
    "  -m, --initial-m VALUE  starting value of the shape, greater than 0 (default 1)\n"
    "  -o, --report FILE      also write the report file to FILE (\"-\" writes it to standard output)\n"
    "      --plot FILE        also draw the Weibull plot, as an SVG picture, into FILE\n"
    "      --json             results as one JSON object on standard output instead of the text lines\n"
    "  -t, --time-limit SEC   stop the shape iteration after SEC seconds, as Ctrl-C would (default: none)\n"
    "  -q, --quiet            no progress monitor\n"
    "  -h, --help             show this help; --version prints the version\n"
    "\n"
    "Ctrl-C stops the shape iteration and prints the results for the m reached; a second Ctrl-C quits.\n"
    "\n"
    "Usage: varnel --life [--method mle|rrx|rry] [-g VALUE | --two-parameter] [--shape M] [--threads N]\n"
    "                     [--distribution NAME]... [--mixture] [--modes [2p|3p]]\n"
    "                     [--nonparametric] [--json] [--plot FILE [--paper WORD]] [-q] DATAFILE\n"
    "Life data: data lines VALUE [F|S [COUNT]] (failure or suspension, COUNT identical units) or\n"
    "LOW HIGH I [COUNT] (failed between LOW and HIGH). Fits the two-parameter model (gamma 0, or\n"
    "VALUE with -g) and the three-parameter model; by maximum likelihood it also compares them.\n"
    "Data lines are read whole; a signed time, nan, inf or a NUL byte is an error naming its line.\n"
    "Exit status 1 also when the two-parameter fit does not converge (the results are still printed).\n"
    "      --method WORD      mle: maximum likelihood (default), with bounds and goodness of fit;\n"
    "                         rrx, rry: median rank regression of x on y or of y on x, at Johnson's\n"
    "                         adjusted ranks, estimates only, for exact failure times and suspensions\n"
    "      --mle              the same as --life --method mle\n"
    "      --two-parameter    fit only the two-parameter model (so does -g)\n"
    "      --threads N        threads for the sums, the calling thread included, 1 to 1024\n"
    "                         (default: one per hardware thread); never changes a result\n"
    "      --shape M          a known shape M (above 0): only eta is fitted; with failures and suspensions\n"
    "                         its bounds are chi-square ones (Weibayes), defined with no failure too\n"
    "      --mixture          also fit a mixture of two Weibull populations, F = p F1 + (1 - p) F2, by\n"
    "                         maximum likelihood at location 0, with Fisher bounds and AICc and BIC\n"
    "                         against one Weibull; \"one population\" where no second one is found\n"
    "      --modes [2p|3p]    competing failure modes, named by a word after the state or count\n"
    "                         (VALUE F [COUNT] MODE, LOW HIGH I [COUNT] MODE; unnamed: unlabelled):\n"
    "                         each mode's own Weibull (2p default, or 3p), the others' failures as\n"
    "                         suspensions, and the series system's B-lives and reliabilities\n"
    "      --nonparametric    also the non-parametric estimate of survival: Kaplan-Meier with its log\n"
    "                         bounds at --confidence, or Turnbull's when the data hold intervals\n"
    "      --paper WORD       the probability paper of --plot: weibull (default), lognormal, normal or\n"
    "                         exponential; the plot also draws the non-parametric steps where asked for\n"
    "      --by COLUMN        DATAFILE is a CSV with a header: time, state, count, upper (blank on F and S\n"
    "                         rows) and COLUMN, the group keys; one JSON document per group and line\n"
    "                         (JSON Lines) with its \"group\", {\"group\": .., \"error\": ..} for a group that\n"
    "                         fails (exit status 1); --threads N analyses N groups at a time\n";

namespace {

struct OptionName {
    const char* shortName;
    const char* longName;
};

const OptionName valueOptions[] = {
    {"-g", "--gamma"}, {"-r", "--rank"}, {"-m", "--initial-m"}, {"-o", "--report"}, {"-t", "--time-limit"},
    {"--plot", "--plot"}, {"--threads", "--threads"}, {"--shape", "--shape"}, {"--method", "--method"},
    {"--paper", "--paper"}, {"--by", "--by"}, // no short form
};

// Options that only the classic method takes; --mle refuses them.
bool isClassicOnly(const std::string& name)
{
    return name == "--rank" || name == "--initial-m" || name == "--report" || name == "--time-limit";
}

const OptionName* findValueOption(const std::string& name)
{
    for (const OptionName& option : valueOptions) {
        if (name == option.shortName || name == option.longName)
            return &option;
    }
    return nullptr;
}

bool applyValue(const OptionName& option, const char* value, CliOptions& options, std::string& error)
{
    const std::string name = option.longName;
    double number = 0.0;
    if (name == "--report") {
        if (*value == '\0') {
            error = "option --report needs a file name";
            return false;
        }
        options.writeReportFile = true;
        options.reportPath = value;
        return true;
    }
    if (name == "--method") {
        const std::string word = value;
        if (word == "mle")
            options.method = lifedata::EstimationMethod::mle;
        else if (word == "rrx")
            options.method = lifedata::EstimationMethod::rrx;
        else if (word == "rry")
            options.method = lifedata::EstimationMethod::rry;
        else {
            error = "option --method needs mle, rrx or rry, not '" + word + "'";
            return false;
        }
        options.methodGiven = true;
        return true;
    }
    if (name == "--by") {
        if (*value == '\0') {
            error = "option --by needs a column name";
            return false;
        }
        options.groupColumn = value;
        return true;
    }
    if (name == "--paper") {
        if (!paperFromName(value, options.paper)) {
            error = std::string("option --paper needs weibull, lognormal, normal or exponential, not '") + value + "'";
            return false;
        }
        options.paperGiven = true;
        return true;
    }
    if (name == "--plot") {
        // Standard output carries the results; a picture there would only corrupt them.
        if (*value == '\0' || std::strcmp(value, "-") == 0) {
            error = "option --plot needs a file name";
            return false;
        }
        options.plotPath = value;
        return true;
    }
    if (!readWholeNumber(value, number)) {
        error = "option " + name + " needs a number, not '" + value + "'";
        return false;
    }
    if (name == "--shape") {
        if (!(number > 0 && std::isfinite(number))) {
            error = std::string("shape must be above 0, not '") + value + "'";
            return false;
        }
        options.shape = number;
    } else if (name == "--threads") {
        if (!(number >= 1 && number <= lifedata::maximumThreads && number == std::floor(number))) {
            error = "threads must be a whole number from 1 to " + std::to_string(lifedata::maximumThreads) +
                    ", not '" + value + "'";
            return false;
        }
        options.threads = static_cast<unsigned>(number);
    } else if (name == "--gamma") {
        options.autoGamma = false;
        options.gamma = number;
    } else if (name == "--rank") {
        if (number != 1 && number != 2 && number != 3 && number != 4) {
            error = std::string("rank method must be 1, 2, 3 or 4, not '") + value + "'";
            return false;
        }
        options.rank = static_cast<int>(number);
    } else if (name == "--initial-m") {
        if (!(number > 0)) {
            error = std::string("initial m must be greater than 0, not '") + value + "'";
            return false;
        }
        options.initialM = number;
    } else {
        if (!(number > 0)) {
            error = std::string("time limit must be greater than 0 seconds, not '") + value + "'";
            return false;
        }
        options.timeLimit = number;
    }
    return true;
}

// --plan changes what --at and --confidence mean, wherever it stands among the words.
bool asksForPlan(int argc, const char* const* argv)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--plan") == 0)
            return true;
    }
    return false;
}

// The option's name without a joined "=value".
std::string optionName(const std::string& word)
{
    const std::size_t equals = word.find('=');
    return word.rfind("--", 0) == 0 && equals != std::string::npos ? word.substr(0, equals) : word;
}

// An option of the other methods: a plan refuses it by name (an unknown word stays unknown).
bool isKnownOption(const std::string& name)
{
    return findValueOption(name) || isBoundsOption(name) || isDistributionOption(name) || name == "--mle" || name == "--life" ||
           name == "--two-parameter" || name == "--mixture" || name == "--nonparametric" || isStressOption(name) ||
           name == "--celsius" || name == "--modes";
}

// The checks after every word of a plan: no data file, and every value it needs.
bool finishPlan(int files, CliOptions& options, std::string& error)
{
    if (files > 0) {
        error = "--plan takes no data file";
        return false;
    }
    options.planValues.shape = options.shape;
    return checkPlanComplete(options.planValues, error);
}

// --mle names its method; rank regression has no bounds and no goodness-of-fit p-value, so their
// options would be silently ignored.
bool methodWordsAgree(const CliOptions& options, std::string& error)
{
    if (options.lifeOption == "--mle" && options.method != lifedata::EstimationMethod::mle) {
        error = "--mle means --life --method mle; for rank regression use --life --method " +
                std::string(lifedata::methodName(options.method));
        return false;
    }
    if (options.method != lifedata::EstimationMethod::mle && !options.likelihoodOnlyOption.empty()) {
        error = options.likelihoodOnlyOption + " needs --method mle: rank regression gives estimates only";
        return false;
    }
    return true;
}

// --modes, --modes 2p|3p or --modes=2p|3p. Only those two words are taken as its value, so that a
// data file after a bare --modes stays the data file.
bool readModesOption(int argc, const char* const* argv, int& i, CliOptions& options, std::string& error)
{
    const std::string word = argv[i];
    const bool joined = word.size() > 7;
    std::string value = joined ? word.substr(8) : "";
    if (!joined && i + 1 < argc && (std::strcmp(argv[i + 1], "2p") == 0 || std::strcmp(argv[i + 1], "3p") == 0))
        value = argv[++i];
    if (value == "3p")
        options.modes = lifedata::ModesChoice::threeParameter;
    else if (value == "2p" || (!joined && value.empty()))
        options.modes = lifedata::ModesChoice::twoParameter;
    else {
        error = "option --modes takes 2p or 3p, not '" + value + "'";
        return false;
    }
    return true;
}

// Each mode's fit is a likelihood fit of its own shape.
bool modesAgree(const CliOptions& options, std::string& error)
{
    if (options.modes == lifedata::ModesChoice::none)
        return true;
    if (!options.mle)
        error = "--modes needs --life";
    else if (options.method != lifedata::EstimationMethod::mle)
        error = "--modes needs --method mle: each mode is a likelihood fit with its own bounds";
    else if (options.shape != 0)
        error = "--modes cannot be used with --shape: each mode has its own shape";
    return error.empty();
}

} // namespace

bool parseOptions(int argc, const char* const* argv, CliOptions& options, std::string& error)
{
    int files = 0;
    bool optionsEnded = false;
    options.plan = asksForPlan(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            options.dataFile = word;
            ++files;
            continue;
        }
        if (options.plan && word != "--" && !isPlanOption(optionName(word)) && isKnownOption(optionName(word))) {
            error = "option " + optionName(word) + " cannot be used with --plan";
            return false;
        }
        if (word == "--") {
            optionsEnded = true;
        } else if (word == "-h" || word == "--help") {
            options.help = true;
        } else if (word == "--version") {
            options.version = true;
        } else if (word == "-q" || word == "--quiet") {
            options.quiet = true;
        } else if (word == "--json") {
            options.json = true;
        } else if (word == "--mle" || word == "--life") {
            if (options.mle && options.lifeOption != word) {
                error = "give one of --life and --mle (--mle means --life --method mle)";
                return false;
            }
            options.mle = true;
            options.lifeOption = word;
        } else if (word == "--plan") {
            // Read before the loop.
        } else if (word == "--two-parameter") {
            options.twoParameter = true;
        } else if (word == "--mixture") {
            options.mixture = true;
        } else if (word == "--nonparametric") {
            options.bounds.nonParametric = true;
        } else if (word == "--celsius") {
            options.stress.celsius = true;
        } else if (word == "--modes" || word.rfind("--modes=", 0) == 0) {
            if (!readModesOption(argc, argv, i, options, error))
                return false;
        } else {
            const std::size_t equals = word.find('=');
            const bool joined = word.rfind("--", 0) == 0 && equals != std::string::npos;
            const std::string name = joined ? word.substr(0, equals) : word;
            const OptionName* option = findValueOption(name);
            const bool planValue = isPlanOnlyOption(name) || (options.plan && (name == "--at" || name == "--confidence"));
            if (!option && !isBoundsOption(name) && !isPlanOnlyOption(name) && !isDistributionOption(name) && !isStressOption(name)) {
                error = "unknown option '" + word + "'";
                return false;
            }
            const char* value = nullptr;
            if (joined) {
                value = argv[i] + equals + 1;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                error = "option " + word + " needs a value";
                return false;
            }
            if (planValue) {
                if (!options.plan) {
                    error = name + " needs --plan";
                    return false;
                }
                if (!applyPlanOption(name, value, options.planValues, error))
                    return false;
                continue;
            }
            if (isDistributionOption(name)) {
                if (!applyDistributionOption(value, options.bounds.distributions, error))
                    return false;
                continue;
            }
            if (isStressOption(name)) {
                if (!applyStressOption(name, value, options.stress, error))
                    return false;
                continue;
            }
            if (!option) {
                if (!applyBoundsOption(name, value, options.bounds, options.bLifeGiven, error))
                    return false;
                if (options.boundsOption.empty())
                    options.boundsOption = name;
                if (options.likelihoodOnlyOption.empty() && name != "--b-life" && name != "--at")
                    options.likelihoodOnlyOption = name;
                continue;
            }
            if (!applyValue(*option, value, options, error))
                return false;
            if (isClassicOnly(option->longName) && options.classicOnlyOption.empty())
                options.classicOnlyOption = name;
        }
    }
    if (options.help || options.version)
        return true;
    if (options.plan)
        return finishPlan(files, options, error);
    if (files == 0) {
        error = "no data file given";
        return false;
    }
    if (files > 1) {
        error = "more than one data file given";
        return false;
    }
    if (options.mle && !options.classicOnlyOption.empty()) {
        error = "option " + options.classicOnlyOption + " cannot be used with " + options.lifeOption;
        return false;
    }
    if (!options.mle && (options.twoParameter || options.threads != 0 || options.methodGiven)) {
        error = std::string(options.twoParameter ? "--two-parameter" : options.threads != 0 ? "--threads" : "--method") +
                " needs --life";
        return false;
    }
    if (!options.mle && (options.bounds.nonParametric || options.paperGiven)) {
        error = std::string(options.paperGiven ? "--paper" : "--nonparametric") + " needs --life";
        return false;
    }
    if (options.paperGiven && options.plotPath.empty()) {
        error = "--paper needs --plot: it chooses the plot's paper";
        return false;
    }
    if (!options.mle && options.shape != 0) {
        error = "--shape needs --life or --plan";
        return false;
    }
    if (options.shape != 0 && options.method != lifedata::EstimationMethod::mle) {
        error = "--shape needs --method mle: a known shape's eta is a likelihood estimate";
        return false;
    }
    if (options.shape != 0 && options.bounds.bootstrap != 0) {
        error = "--bootstrap cannot be used with --shape: its refits fit the shape too";
        return false;
    }
    if (!options.mle && !options.boundsOption.empty()) {
        error = options.boundsOption + " needs --life";
        return false;
    }
    if (!methodWordsAgree(options, error))
        return false;
    if (!options.bounds.distributions.empty()) {
        error = options.mle ? distributionConflict(options.method == lifedata::EstimationMethod::mle, !options.autoGamma,
                                                   options.shape != 0, options.twoParameter,
                                                   options.bounds.bootstrap != 0)
                            : "--distribution needs --life";
        if (!error.empty())
            return false;
    }
    // The mixture's components are two-parameter likelihood fits: nothing else is defined for them.
    if (options.mixture && (!options.mle || options.method != lifedata::EstimationMethod::mle || options.shape != 0 ||
                            !options.autoGamma)) {
        error = !options.mle ? "--mixture needs --life"
                : options.method != lifedata::EstimationMethod::mle ? "--mixture needs --method mle"
                : options.shape != 0 ? "--mixture cannot be used with --shape"
                                     : "--mixture cannot be used with -g: its components have location 0";
        return false;
    }
    if (!options.groupColumn.empty() && (!options.mle || !options.plotPath.empty())) {
        error = options.mle ? "--plot cannot be used with --by: there is one plot per group" : "--by needs --life";
        return false;
    }
    const StressContext stressContext{options.mle, options.method == lifedata::EstimationMethod::mle,
                                      options.shape != 0 || !options.autoGamma || options.twoParameter,
                                      options.bounds.bootstrap, options.paperGiven};
    if (!checkStressChoice(options.stress, stressContext, error))
        return false;
    if (!modesAgree(options, error))
        return false;
    if (options.json && options.writeReportFile && options.reportPath == "-") {
        error = "--json and --report - both write to standard output; choose one";
        return false;
    }
    return true;
}
