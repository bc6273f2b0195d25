// Fuzz target: any command line (the input split into words at NUL bytes) through parseOptions. It
// must never crash; a refusal must say why; an accepted line must hold values the usage allows, and
// every number taken must be a word of the line (or the part after '=') that is a number as a whole.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "options.h"
#include "reference_number.h"

namespace {

constexpr std::size_t mostWords = 64;

[[noreturn]] void fail(const char* what, const std::vector<std::string>& words)
{
    std::fprintf(stderr, "parseOptions: %s\n ", what);
    for (const std::string& word : words)
        std::fprintf(stderr, " [%s]", word.c_str());
    std::fputc('\n', stderr);
    std::abort();
}

// True when some word, or the text after the first '=' of some word, is a whole number of this value.
bool someWordReads(const std::vector<std::string>& words, double value)
{
    for (const std::string& word : words) {
        const std::size_t equals = word.find('=');
        const std::string candidates[] = {word, equals == std::string::npos ? "" : word.substr(equals + 1)};
        for (const std::string& candidate : candidates) {
            double read = 0;
            if (referenceWholeNumber(candidate.c_str(), read) && read == value)
                return true;
        }
    }
    return false;
}

bool someWordIs(const std::vector<std::string>& words, const std::string& text)
{
    for (const std::string& word : words) {
        if (word == text || (word.find('=') != std::string::npos && word.substr(word.find('=') + 1) == text))
            return true;
    }
    return false;
}

// A plan has no data file; it has every value it needs, each in range and read from a whole word.
void checkPlan(const lifedata::TestPlan& plan, const std::vector<std::string>& words)
{
    if (!(plan.shape > 0) || !std::isfinite(plan.shape) || !someWordReads(words, plan.shape))
        fail("plan without a shape above 0 read from a word", words);
    if (!(plan.reliability > 0 && plan.reliability < 1) || !someWordReads(words, plan.reliability))
        fail("plan reliability outside (0, 1) or read from no word", words);
    if (!(plan.confidence > 0 && plan.confidence < 1) || !someWordReads(words, plan.confidence))
        fail("plan confidence outside (0, 1) or read from no word", words);
    if (!(plan.at > 0) || !std::isfinite(plan.at) || !someWordReads(words, plan.at))
        fail("plan time not above 0 or read from no word", words);
    if ((plan.units == 0) == (plan.testTime == 0))
        fail("plan without exactly one of units and test time", words);
    if (plan.units != 0 && (plan.units != std::floor(plan.units) || !(plan.units > plan.failuresAllowed)))
        fail("plan units not whole or not above the failures allowed", words);
    if (plan.failuresAllowed != std::floor(plan.failuresAllowed) || !(plan.failuresAllowed >= 0))
        fail("plan failures allowed not a whole number from 0", words);
}

void checkAccepted(const CliOptions& options, const std::vector<std::string>& words)
{
    if (options.help || options.version)
        return;
    if (options.plan) {
        if (!options.dataFile.empty())
            fail("a plan with a data file", words);
        checkPlan(options.planValues, words);
        return;
    }
    if (options.shape != 0 && (!(options.shape > 0) || !std::isfinite(options.shape) || !options.mle))
        fail("a known shape not above 0, or without --mle", words);
    if (!someWordIs(words, options.dataFile))
        fail("the data file is none of the words", words);
    if (options.rank < 1 || options.rank > 4)
        fail("rank method outside 1 to 4", words);
    if (!(options.initialM > 0) || !std::isfinite(options.initialM))
        fail("initial m not a finite number above 0", words);
    if (!(options.timeLimit >= 0) || !std::isfinite(options.timeLimit))
        fail("time limit not a finite number of seconds", words);
    if (!std::isfinite(options.gamma))
        fail("gamma not finite", words);
    if (options.writeReportFile && options.reportPath.empty())
        fail("report without a file name", words);

    // A value that is not the default came from the line, as a number as a whole.
    if (options.rank != 1 && !someWordReads(words, options.rank))
        fail("rank method read from no whole word", words);
    if (options.initialM != 1 && !someWordReads(words, options.initialM))
        fail("initial m read from no whole word", words);
    if (options.timeLimit != 0 && !someWordReads(words, options.timeLimit))
        fail("time limit read from no whole word", words);
    if (!options.autoGamma && !someWordReads(words, options.gamma))
        fail("gamma read from no whole word", words);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size && words.size() <= mostWords; ++i) {
        if (data[i] == '\0')
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }

    std::vector<const char*> argv{"varnel"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    argv.push_back(nullptr);

    CliOptions options;
    std::string error;
    const bool accepted = parseOptions(static_cast<int>(argv.size() - 1), argv.data(), options, error);
    if (!accepted && error.empty())
        fail("a refusal without a reason", words);
    if (accepted)
        checkAccepted(options, words);
    return 0;
}
