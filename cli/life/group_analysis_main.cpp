// The fleet's analyses as JSON Lines: each group's document is the one `--life --json` writes for
// its records alone, on one line, with its key first as "group". A group that cannot be analysed
// gets a line with its error and the others go on; the file's own errors stop everything.
#include "life/group_analysis_main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "analysis_json.h"
#include "data_file_check.h"
#include "group_analysis.h"
#include "grouped_csv_file.h"
#include "json_text.h"
#include "life/analysis_main.h"

namespace {

constexpr int exitFailure = 1;

int fail(const std::string& message)
{
    std::fprintf(stderr, "varnel: %s\n", message.c_str());
    return exitFailure;
}

// The document on one line: every line break goes with the indentation after it. A string never
// holds a line break (it is written as \n), so every break is the layout's.
std::string oneLine(const std::string& document)
{
    std::string line;
    line.reserve(document.size());
    std::size_t from = 0;
    for (std::size_t end = document.find('\n'); end != std::string::npos; end = document.find('\n', from)) {
        line.append(document, from, end - from);
        from = document.find_first_not_of(' ', end + 1);
        if (from == std::string::npos)
            return line;
    }
    line.append(document, from, std::string::npos);
    return line;
}

std::string groupLine(const std::string& group, const lifedata::GroupOutcome& outcome,
                      const lifedata::AnalysisRequest& request)
{
    const std::string key = "{\"group\": " + jsonString(group);
    if (outcome.failed)
        return key + ", \"error\": " + jsonString(outcome.error) + "}\n";
    // The analysis's own object, opened by "{", follows the key.
    return key + ", " + oneLine(lifedata::analysisJson(outcome.analysis, request)).substr(1) + "\n";
}

} // namespace

int runGroupAnalysis(const CliOptions& options)
{
    const std::string problem = dataFileProblem(options.dataFile);
    if (!problem.empty())
        return fail(problem);
    const lifedata::AnalysisRequest request = lifeAnalysisRequest(options);
    lifedata::GroupedCsvData data;
    lifedata::GroupedLifeData grouped;
    try {
        data = lifedata::readGroupedCsvFile(options.dataFile, options.groupColumn);
        grouped = lifedata::groupRecords(data.records, data.codes, data.groups.size());
    } catch (const lifedata::DataError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return fail(options.dataFile + ": not enough memory to read the data");
    }
    data.records = {};

    std::vector<std::string> lines(data.groups.size());
    std::vector<char> failed(data.groups.size(), 0);
    bool anyFailed = false;
    bool written = true;
    try {
        lifedata::analyseGroups(
            grouped, request, options.threads,
            [&](std::size_t g, const lifedata::GroupOutcome& outcome) {
                lines[g] = groupLine(data.groups[g], outcome, request);
                failed[g] = outcome.failed;
            },
            [&](std::size_t begin, std::size_t end) {
                for (std::size_t g = begin; g < end; ++g) {
                    anyFailed = anyFailed || failed[g];
                    written = written && std::fwrite(lines[g].data(), 1, lines[g].size(), stdout) == lines[g].size();
                    std::string().swap(lines[g]);
                }
            });
    } catch (const lifedata::DataError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return fail(options.dataFile + ": not enough memory to analyse the data");
    }
    if (!written || std::fflush(stdout) != 0)
        return fail(std::string("cannot write to standard output: ") + std::strerror(errno));
    return anyFailed ? exitFailure : 0;
}
