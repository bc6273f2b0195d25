// The Weibull plot picture and the JSON results of `varnel`: the SVG parsed by a real XML parser
// and read back into plot coordinates through its own axis labels, the JSON parsed and compared
// bit for bit with the run, and the program's options, files and exit codes end to end.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "estimation_run.h"
#include "estimation_state.h"
#include "fake_host.h"
#include "json_output.h"
#include "life_analysis.h"
#include "life_data_file.h"
#include "life/analysis_plot_svg.h"
#include "number_text.h"
#include "plot_svg.h"
#include "plotting_position.h"
#include "test_plan.h"

using nlohmann::json;

namespace {

const char* const sample = "# ten lifetimes\n31\n55.5\n17\n80\n42\n66\n23\n95\n48\n120\n";

void runOn(const std::string& path, int fi, bool autoGamma = true, double gamma = 0.0)
{
    resetHostAndState();
    std::strcpy(state.RFile, path.c_str());
    state.Fi = fi;
    selectRankFunction();
    state.autoGamma = autoGamma ? 1 : 0;
    state.gamma = gamma;
    state.initialM = 1.0;
    runEstimation();
}

// ---- The SVG document, read back -------------------------------------------------------------

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::string attribute(xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    const std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

std::string name(xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

// The element's text with the text of a raised <tspan> after "^".
std::string labelText(xmlNode* node)
{
    std::string text;
    for (xmlNode* child = node->children; child; child = child->next) {
        xmlChar* content = xmlNodeGetContent(child);
        if (child->type == XML_ELEMENT_NODE)
            text += '^';
        text += reinterpret_cast<const char*>(content);
        xmlFree(content);
    }
    return text;
}

void collect(xmlNode* node, std::vector<xmlNode*>& elements)
{
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            elements.push_back(node);
            collect(node->children, elements);
        }
    }
}

// A pixel number as the plot writes it: no exponent, no locale's comma, at most two decimals.
double pixel(xmlNode* node, const char* name)
{
    static const std::regex fixedPoint("-?[0-9]+(\\.[0-9][0-9]?)?");
    const std::string text = attribute(node, name);
    EXPECT_TRUE(std::regex_match(text, fixedPoint)) << name << "=\"" << text << "\"";
    return std::strtod(text.c_str(), nullptr);
}

// A straight map from plot units to pixels, found from two of the axis labels.
struct AxisMap {
    double offset = 0;
    double scale = 0;
    double pixelOf(double unit) const { return offset + scale * unit; }
    double unitOf(double pixel) const { return (pixel - offset) / scale; }
};

AxisMap mapThrough(const std::vector<std::pair<double, double>>& unitAndPixel)
{
    EXPECT_GE(unitAndPixel.size(), 2u);
    AxisMap map;
    if (unitAndPixel.size() < 2)
        return map;
    const auto& [u0, p0] = unitAndPixel.front();
    const auto& [u1, p1] = unitAndPixel.back();
    map.scale = (p1 - p0) / (u1 - u0);
    map.offset = p0 - map.scale * u0;
    // Every other label must sit where the same map puts it.
    for (const auto& [u, p] : unitAndPixel)
        EXPECT_NEAR(map.pixelOf(u), p, 0.02) << "label at unit " << u;
    return map;
}

// A value of t - gamma as labelled: "150", "0.02", "10^6", "2.5×10^-7".
double horizontalLabelValue(const std::string& label)
{
    const std::size_t power = label.find('^');
    if (power == std::string::npos)
        return std::strtod(label.c_str(), nullptr);
    const std::size_t times = label.find("\u00D7");
    const double mantissa = times == std::string::npos ? 1.0 : std::strtod(label.c_str(), nullptr);
    return mantissa * std::pow(10.0, std::strtod(label.c_str() + power + 1, nullptr));
}

struct ParsedPlot {
    std::unique_ptr<xmlDoc, XmlDocFree> doc;
    std::vector<xmlNode*> elements;
    std::string title;
    std::vector<xmlNode*> points;
    std::vector<xmlNode*> fitLines;
    std::vector<std::string> xLabels;
    AxisMap x;
    AxisMap y;
    std::string legend;
};

// Parses the picture strictly (a malformed document fails the test) and maps its axes.
ParsedPlot parsePlot(const std::string& svg)
{
    ParsedPlot plot;
    plot.doc.reset(xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "plot.svg", nullptr,
                                 XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    EXPECT_TRUE(plot.doc) << "not well-formed XML:\n" << svg;
    if (!plot.doc)
        return plot;
    xmlNode* root = xmlDocGetRootElement(plot.doc.get());
    EXPECT_EQ(name(root), "svg");
    collect(root, plot.elements);
    std::vector<std::pair<double, double>> across;
    std::vector<std::pair<double, double>> up;
    for (xmlNode* element : plot.elements) {
        const std::string kind = attribute(element, "class");
        EXPECT_NE(name(element), "script");
        EXPECT_NE(name(element), "image");
        EXPECT_EQ(attribute(element, "href"), "");
        if (name(element) == "title")
            plot.title = labelText(element);
        if (name(element) == "circle" && kind == "point")
            plot.points.push_back(element);
        if (name(element) == "line" && kind == "fit")
            plot.fitLines.push_back(element);
        if (name(element) == "g" && kind == "legend")
            for (xmlNode* row = element->children; row; row = row->next)
                if (row->type == XML_ELEMENT_NODE && name(row) == "text")
                    plot.legend += labelText(row) + "\n";
        if (name(element) == "g" && kind == "x-labels") {
            for (xmlNode* label = element->children; label; label = label->next) {
                if (label->type != XML_ELEMENT_NODE)
                    continue;
                plot.xLabels.push_back(labelText(label));
                across.push_back({std::log(horizontalLabelValue(plot.xLabels.back())), pixel(label, "x")});
            }
        }
        if (name(element) == "g" && kind == "y-labels") {
            for (xmlNode* label = element->children; label; label = label->next) {
                if (label->type != XML_ELEMENT_NODE)
                    continue;
                const double F = std::strtod(labelText(label).c_str(), nullptr) / 100;
                // The label's baseline is 4 pixels below its grid line.
                up.push_back({std::log(-std::log1p(-F)), pixel(label, "y") - 4});
            }
        }
    }
    std::sort(across.begin(), across.end());
    std::sort(up.begin(), up.end());
    plot.x = mapThrough(across);
    plot.y = mapThrough(up);
    return plot;
}

// Every finite observation of the run stands at its plot coordinates, as the axes read, in order.
void expectPointsOfTheRun(const ParsedPlot& plot)
{
    std::size_t drawn = 0;
    for (std::uint32_t i = 1; i <= state.n; ++i) {
        const double x = std::log(state.samples[i - 1] - state.gamma);
        const double y = weibullOrdinate(i);
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        ASSERT_LT(drawn, plot.points.size());
        EXPECT_NEAR(pixel(plot.points[drawn], "cx"), plot.x.pixelOf(x), 0.02) << "point " << i;
        EXPECT_NEAR(pixel(plot.points[drawn], "cy"), plot.y.pixelOf(y), 0.02) << "point " << i;
        ++drawn;
    }
    EXPECT_EQ(drawn, plot.points.size());
}

// Both ends of the drawn line lie on y = m x - ln t0, to the rounding of the pixels: 0.01 pixel
// across, magnified by the slope, and 0.01 pixel up.
void expectTheFittedLine(const ParsedPlot& plot)
{
    ASSERT_EQ(plot.fitLines.size(), 1u);
    xmlNode* line = plot.fitLines.front();
    const double slopeInPixels = std::fabs(state.m * plot.y.scale / plot.x.scale);
    for (const char* end : {"1", "2"}) {
        const double x = plot.x.unitOf(pixel(line, (std::string("x") + end).c_str()));
        const double yPixel = pixel(line, (std::string("y") + end).c_str());
        EXPECT_NEAR(yPixel, plot.y.pixelOf(state.m * x - std::log(state.t0)), 0.02 + 0.01 * slopeInPixels);
    }
}

class CliPlot : public ::testing::Test {
protected:
    void TearDown() override { resetHostAndState(); }
};

TEST_F(CliPlot, EveryRankMethodDrawsItsPointsAndTheLine)
{
    const std::string path = writeTempFile("plot-ten.dat", sample);
    for (int fi = 1; fi <= 4; ++fi) {
        SCOPED_TRACE("rank method " + std::to_string(fi));
        runOn(path, fi);
        ASSERT_EQ(state.samplesHeld, 1);
        const ParsedPlot plot = parsePlot(weibullPlotSvg(false));
        ASSERT_TRUE(plot.doc);
        // Method 2 puts the first and last observation at F = 0 and 1, minus and plus infinity.
        EXPECT_EQ(plot.points.size(), fi == 2 ? 8u : 10u);
        EXPECT_EQ(plot.legend.find("not finite") != std::string::npos, fi == 2);
        if (fi == 2) {
            EXPECT_NE(plot.legend.find("2 points not drawn:"), std::string::npos) << plot.legend;
        }
        expectPointsOfTheRun(plot);
        expectTheFittedLine(plot);
        EXPECT_NE(plot.legend.find(std::string("F = ") + rankMethodLabel(fi)), std::string::npos);
        EXPECT_NE(plot.legend.find("n = 10"), std::string::npos);
        EXPECT_EQ(plot.title, "Weibull plot of " + path);
    }
}

TEST_F(CliPlot, LegendShowsTheSevenResultsAsTheDialogDoes)
{
    runOn(writeTempFile("plot-legend.dat", sample), 3);
    const ParsedPlot plot = parsePlot(weibullPlotSvg(true));
    for (const auto& [label, value] : std::vector<std::pair<std::string, double>>{
             {"m", state.m}, {"t0", state.t0}, {"gamma", state.gamma}, {"mu", state.mu},
             {"xi", state.xi}, {"tm", state.tm}, {"sigma2", state.sigma2}}) {
        EXPECT_NE(plot.legend.find(label + " =\n" + formatScientific(value, 6, 4) + "\n"), std::string::npos)
            << label << " in\n" << plot.legend;
    }
    EXPECT_NE(plot.legend.find("iteration was stopped"), std::string::npos);
}

TEST_F(CliPlot, AxesFollowTheDataOverAnyRange)
{
    // Values within a hair of each other, values over twelve decades, and a large sample whose
    // plotting positions reach far below 1 % and above 99 %.
    std::string wide;
    for (int k = -5; k <= 7; ++k)
        wide += "3e" + std::to_string(k) + "\n";
    std::string large;
    for (int i = 1; i <= 3000; ++i)
        large += std::to_string(i) + "\n";
    const struct {
        const char* name;
        std::string data;
    } cases[] = {{"plot-narrow.dat", "100.0001\n100.0002\n100.0004\n100.0003\n"},
                 {"plot-wide.dat", wide},
                 {"plot-large.dat", large}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        runOn(writeTempFile(c.name, c.data), 1, false, 0.0);
        ASSERT_EQ(state.samplesHeld, 1);
        const ParsedPlot plot = parsePlot(weibullPlotSvg(false));
        ASSERT_TRUE(plot.doc);
        EXPECT_GE(plot.xLabels.size(), 3u);
        expectPointsOfTheRun(plot);
        expectTheFittedLine(plot);
    }
}

TEST_F(CliPlot, AnyFileNameGivesAWellFormedPicture)
{
    // Markup characters, a control character, a byte that is not UTF-8 and a valid UTF-8 letter.
    const std::string bytes = "p<&>\"'\x01\xff\xc3\xa9.dat";
    const std::string path = writeTempFile(bytes, sample);
    runOn(path, 1);
    ASSERT_EQ(state.samplesHeld, 1);
    const ParsedPlot plot = parsePlot(weibullPlotSvg(false));
    ASSERT_TRUE(plot.doc);
    const std::string shown = path.substr(0, path.size() - bytes.size()) + "p<&>\"'\uFFFD\u00ff\u00e9.dat";
    EXPECT_EQ(plot.title, "Weibull plot of " + shown);
}

TEST_F(CliPlot, ResultsThatAreNotFiniteLeaveOutTheLine)
{
    runOn(writeTempFile("plot-nan.dat", sample), 1);
    state.t0 = -1.0; // ln t0 is NaN
    const ParsedPlot plot = parsePlot(weibullPlotSvg(false));
    ASSERT_TRUE(plot.doc);
    EXPECT_TRUE(plot.fitLines.empty());
    EXPECT_EQ(plot.points.size(), 10u);
    EXPECT_NE(plot.legend.find("No fitted line"), std::string::npos);
}

// ---- JSON ------------------------------------------------------------------------------------

TEST(CliJson, NumbersReadBackBitForBit)
{
    for (double value : {0.1, 1.0 / 3, -2.5e-300, 4.9406564584124654e-324, 1.7976931348623157e308, 123456789.0,
                         -0.0, 6.02214076e23}) {
        const json parsed = json::parse(jsonNumber(value));
        EXPECT_EQ(std::signbit(parsed.get<double>()), std::signbit(value));
        EXPECT_EQ(parsed.get<double>(), value) << jsonNumber(value);
    }
    EXPECT_EQ(jsonNumber(INFINITY), "null");
    EXPECT_EQ(jsonNumber(NAN), "null");
}

TEST(CliJson, StringsOfAnyBytesAreValidJson)
{
    const struct {
        std::string bytes;
        std::string text; // as a JSON parser returns it, in UTF-8
    } cases[] = {
        {"plain.dat", "plain.dat"},
        {"q\"b\\s/", "q\"b\\s/"},
        {"\n\t\r\x01\x1f", "\n\t\r\x01\x1f"},
        {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\u00e9\u20ac\U0001F600"},
        // Not UTF-8: a lone byte, a cut-off sequence, an overlong form, a surrogate.
        {"\xff", "\u00ff"},
        {"\xe2\x82", "\u00e2\u0082"},
        {"\xc0\xaf", "\u00c0\u00af"},
        {"\xed\xa0\x80", "\u00ed\u00a0\u0080"},
    };
    for (const auto& c : cases) {
        const std::string literal = jsonString(c.bytes);
        EXPECT_EQ(json::parse(literal).get<std::string>(), c.text) << literal;
    }
    EXPECT_EQ(jsonString("\xff"), "\"\\u00ff\"");
}

TEST(CliJson, ValuesWithoutAJsonFormAreNullWithTheirText)
{
    runOn(writeTempFile("json-typed.dat", sample), 1, false, 10.0);
    state.tm = INFINITY;
    state.sigma2 = -NAN;
    const json doc = json::parse(runJson(StopCause::none, RunFailure{}));
    EXPECT_EQ(doc["inputs"]["gammaSearched"], false);
    EXPECT_EQ(doc["inputs"]["gamma"], 10.0);
    EXPECT_TRUE(doc["results"]["tm"].is_null());
    EXPECT_EQ(doc["results"]["tmText"], " 1.#INF0000e+000");
    EXPECT_TRUE(doc["results"]["sigma2"].is_null());
    EXPECT_EQ(doc["results"]["sigma2Text"], "-1.#IND0000e+000");
    EXPECT_FALSE(doc["results"].contains("mText"));
    resetHostAndState();
}

// The labels follow how the iteration itself ended, whatever the stop flag says afterwards: a time
// limit or Ctrl-C that lands once the iteration has converged changes nothing.
TEST(CliJson, EndingComesFromTheIterationNotTheStopFlag)
{
    runOn(writeTempFile("json-ending.dat", sample), 1, false, 10.0);
    state.stopRequested.store(1);
    json doc = json::parse(runJson(StopCause::timeLimit, RunFailure{}));
    EXPECT_EQ(doc["stopped"], false);
    EXPECT_FALSE(doc.contains("stopCause"));
    EXPECT_EQ(doc["ending"], "converged");

    // Stop requested at the first tick the iteration reads.
    resetHostAndState();
    fakeHost.ticksUntilStop = 0;
    std::strcpy(state.RFile, writeTempFile("json-ending.dat", sample).c_str());
    state.Fi = 1;
    selectRankFunction();
    state.initialM = 1.0;
    runEstimation();
    ASSERT_EQ(state.iterationEnding, IterationEnding::stopped);
    doc = json::parse(runJson(StopCause::timeLimit, RunFailure{}));
    EXPECT_EQ(doc["stopped"], true);
    EXPECT_EQ(doc["stopCause"], "time limit");
    EXPECT_EQ(doc["ending"], "time limit");
    doc = json::parse(runJson(StopCause::interrupt, RunFailure{}));
    EXPECT_EQ(doc["stopCause"], "interrupt");
    EXPECT_EQ(doc["ending"], "stopped");
    resetHostAndState();
}

TEST(CliJson, FailuresCarryCaptionAndText)
{
    runOn(writeTempFile("json-two.dat", "1\n2\n"), 1);
    json doc = json::parse(runJson(StopCause::interrupt, {"Read data error", "Invalid data type", "json-two.dat: unreadable"}));
    EXPECT_EQ(doc["n"], 2);
    EXPECT_EQ(doc["stopped"], false);
    EXPECT_TRUE(doc["ending"].is_null());
    EXPECT_TRUE(doc["results"].is_null());
    EXPECT_EQ(doc["error"]["caption"], "Read data error");
    EXPECT_EQ(doc["error"]["text"], "Invalid data type");
    EXPECT_EQ(doc["error"]["reason"], "json-two.dat: unreadable");

    runOn(writeTempFile("json-gamma.dat", sample), 1, false, 17.0);
    doc = json::parse(runJson(StopCause::none, {"Parameter error", "Invalid gamma", ""}));
    EXPECT_EQ(doc["n"], 10);
    EXPECT_TRUE(doc["results"].is_null());
    EXPECT_EQ(doc["error"]["caption"], "Parameter error");
    EXPECT_EQ(doc["error"]["text"], "Invalid gamma");
    EXPECT_FALSE(doc["error"].contains("reason"));
    resetHostAndState();
}

// ---- The program end to end ------------------------------------------------------------------

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs varnel with `args`; kills it after 60 seconds. With `interruptAfterMs`, sends one SIGINT
// after that long.
ProgramRun runVarnel(const std::vector<std::string>& args, int interruptAfterMs = -1)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "varnel_tests";
    std::filesystem::create_directories(dir);
    // CTest runs the tests of this file in parallel processes: each keeps its own output files.
    const std::string outPath = (dir / ("cli-out-" + std::to_string(getpid()))).string();
    const std::string errPath = (dir / ("cli-err-" + std::to_string(getpid()))).string();
    std::vector<char*> argv{const_cast<char*>(VARNEL_PROGRAM)};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        std::freopen(outPath.c_str(), "wb", stdout);
        std::freopen(errPath.c_str(), "wb", stderr);
        execv(VARNEL_PROGRAM, argv.data());
        _exit(127);
    }
    ProgramRun run;
    const auto start = std::chrono::steady_clock::now();
    bool interrupted = false;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (!interrupted && interruptAfterMs >= 0 && elapsed >= std::chrono::milliseconds(interruptAfterMs)) {
            kill(child, SIGINT);
            interrupted = true;
        }
        if (elapsed > std::chrono::seconds(60)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            ADD_FAILURE() << "varnel did not finish within 60 seconds";
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = fileText(outPath);
    run.err = fileText(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

std::string example(const char* name) { return std::string(VARNEL_EXAMPLES) + "/" + name; }

TEST(CliProgram, JsonAndPlotOfAnExampleMatchTheRun)
{
    const std::string plotPath = writeTempFile("cli-example.svg", "old");
    const ProgramRun run = runVarnel({"--json", "-r", "3", "--plot", plotPath, example("ball_bearings.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    // This sample's iteration ends on a damped step that can only repeat itself, and says so.
    EXPECT_EQ(run.err, "varnel: the iteration ended by itself where its damped step could only repeat itself; "
                       "results are for that m\n");
    const json doc = json::parse(run.out);
    EXPECT_EQ(doc["ending"], "step repeating");

    runOn(example("ball_bearings.dat"), 3);
    EXPECT_EQ(doc["inputs"]["dataFile"], example("ball_bearings.dat"));
    EXPECT_EQ(doc["inputs"]["rankMethod"], 3);
    EXPECT_EQ(doc["inputs"]["rankMethodLabel"], "(i-0.3)/(n+0.4)");
    EXPECT_EQ(doc["inputs"]["gammaSearched"], true);
    EXPECT_FALSE(doc["inputs"].contains("gamma"));
    EXPECT_EQ(doc["inputs"]["initialM"], 1.0);
    EXPECT_EQ(doc["stopped"], false);
    EXPECT_TRUE(doc["error"].is_null());
    EXPECT_EQ(doc["n"], state.n);
    for (const auto& [key, value] : std::vector<std::pair<const char*, double>>{
             {"m", state.m}, {"t0", state.t0}, {"gamma", state.gamma}, {"mu", state.mu},
             {"xi", state.xi}, {"tm", state.tm}, {"sigma2", state.sigma2}})
        EXPECT_EQ(doc["results"][key].get<double>(), value) << key;

    const ParsedPlot plot = parsePlot(fileText(plotPath));
    ASSERT_TRUE(plot.doc);
    EXPECT_EQ(plot.points.size(), state.n);
    expectPointsOfTheRun(plot);
    resetHostAndState();
}

TEST(CliProgram, FailuresWriteJsonAndNoPlot)
{
    const std::string plotPath = writeTempFile("cli-failed.svg", "untouched");
    const std::string missing = writeTempFile("cli-missing.dat", "") + ".absent";
    ProgramRun run = runVarnel({"--json", "--plot", plotPath, missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("varnel: Read data error: Invalid data type"), std::string::npos) << run.err;
    json doc = json::parse(run.out);
    EXPECT_EQ(doc["error"]["text"], "Invalid data type");
    EXPECT_EQ(doc["error"]["reason"], missing + ": no such file");
    EXPECT_EQ(doc["n"], 0);
    EXPECT_EQ(fileText(plotPath), "untouched");

    run = runVarnel({"--json", "--gamma", "1e6", "--plot", plotPath, example("ball_bearings.dat")});
    EXPECT_EQ(run.status, 1);
    doc = json::parse(run.out);
    EXPECT_EQ(doc["error"]["caption"], "Parameter error");
    EXPECT_EQ(doc["inputs"]["gamma"], 1e6);
    EXPECT_EQ(fileText(plotPath), "untouched");
}

TEST(CliProgram, PlotThatCannotBeWrittenIsAnError)
{
    const std::string plotPath = "/nonexistent-varnel-dir/plot.svg";
    const ProgramRun run = runVarnel({"--plot", plotPath, example("ball_bearings.dat")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Shape    parameter : m      = "), std::string::npos) << "results come first";
    EXPECT_NE(run.err.find("varnel: cannot write plot " + plotPath + ": "), std::string::npos) << run.err;
}

TEST(CliProgram, UsageErrors)
{
    const std::string data = example("ball_bearings.dat");
    const std::vector<std::vector<std::string>> cases = {
        {"--json", "--report", "-", data}, {"--json", "-o", "-", data}, {"--plot", "-", data},
        {"--plot", "", data},              {data, "--plot"},
    };
    for (const auto& args : cases) {
        const ProgramRun run = runVarnel(args);
        EXPECT_EQ(run.status, 2) << args[0] << " " << args[1];
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Try 'varnel --help'"), std::string::npos) << run.err;
    }
    // A report to a file and JSON on standard output go together.
    const std::string report = writeTempFile("cli-json-report.txt", "");
    const ProgramRun run = runVarnel({"--json", "--report", report, data});
    EXPECT_EQ(run.status, 0);
    EXPECT_NO_THROW(json::parse(run.out));
    EXPECT_EQ(fileText(report).rfind("Varnel  Version 1.00", 0), 0u);
}

TEST(CliProgram, StoppedIterationsSayHow)
{
    const std::string data = example("long_iteration.dat");
    ProgramRun run = runVarnel({"--json", "-q", "-m", "3", "-t", "0.2", data});
    ASSERT_EQ(run.status, 0) << run.err;
    json doc = json::parse(run.out);
    EXPECT_EQ(doc["stopped"], true);
    EXPECT_EQ(doc["stopCause"], "time limit");
    EXPECT_EQ(doc["ending"], "time limit");

    run = runVarnel({"--json", "-q", "-m", "3", data}, 200);
    ASSERT_EQ(run.status, 0) << run.err;
    doc = json::parse(run.out);
    EXPECT_EQ(doc["stopped"], true);
    EXPECT_EQ(doc["stopCause"], "interrupt");
    EXPECT_EQ(doc["ending"], "stopped");
}

// ---- The life-data method ---------------------------------------------------------------------

TEST(CliMle, JsonIsTheAnalysisBitForBitAndThePlotShowsTheFailures)
{
    const std::string plotPath = writeTempFile("cli-mle.svg", "old");
    const ProgramRun run = runVarnel({"--mle", "--json", "--threads", "1", "--plot", plotPath, example("salinity_intervals.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const json doc = json::parse(run.out);
    const lifedata::Analysis analysis =
        lifedata::analyseLifeData(lifedata::readLifeDataFile(example("salinity_intervals.dat")), {});
    EXPECT_EQ(doc["method"], "mle");
    EXPECT_EQ(doc["data"]["failures"], 19);
    EXPECT_EQ(doc["data"]["suspensions"], 60);
    EXPECT_EQ(doc["data"]["intervals"], 29);
    EXPECT_EQ(doc["data"]["units"], 108);
    EXPECT_EQ(doc["data"]["lines"], 108);
    for (const auto& [key, fit] : {std::pair{"twoParameter", analysis.twoParameter},
                                   std::pair{"threeParameter", analysis.threeParameter.fit}}) {
        EXPECT_EQ(doc[key]["status"], "ok");
        EXPECT_EQ(doc[key]["m"].get<double>(), fit.m) << key;
        EXPECT_EQ(doc[key]["eta"].get<double>(), fit.eta) << key;
        EXPECT_EQ(doc[key]["gamma"].get<double>(), fit.gamma) << key;
        EXPECT_EQ(doc[key]["t0"].get<double>(), std::pow(fit.eta, fit.m)) << key;
        EXPECT_EQ(doc[key]["logLikelihood"].get<double>(), fit.logLikelihood) << key;
    }
    EXPECT_EQ(doc["likelihoodRatio"]["statistic"].get<double>(), analysis.likelihoodRatio.statistic);
    EXPECT_EQ(doc["likelihoodRatio"]["pValue"].get<double>(), analysis.likelihoodRatio.pValue);

    // One point per failure record, intervals included; the suspensions only move them.
    const ParsedPlot plot = parsePlot(fileText(plotPath));
    ASSERT_TRUE(plot.doc);
    EXPECT_EQ(plot.points.size(), 19u + 29u);
    EXPECT_EQ(plot.fitLines.size(), 1u);
    EXPECT_NE(plot.legend.find("Johnson's adjusted ranks"), std::string::npos) << plot.legend;
    EXPECT_NE(fileText(plotPath).find("<path class=\"curve\" d=\"M"), std::string::npos) << "the three-parameter fit";
}

TEST(CliMle, WithoutATwoParameterEstimateThePlotStillShowsTheFailures)
{
    // A two-parameter search that did not converge leaves no location: the failures are drawn at their
    // own times, with the three-parameter curve, instead of vanishing with the line.
    const lifedata::LifeData data = lifedata::readLifeDataFile(example("salinity_intervals.dat"));
    lifedata::Analysis analysis = lifedata::analyseLifeData(data, {});
    analysis.twoParameter = lifedata::withStatus(lifedata::FitStatus::notConverged);
    analysis.twoParameterInference = {};
    analysis.likelihoodRatio = {};
    const ParsedPlot plot = parsePlot(lifeDataPlotSvg("salinity_intervals.dat", data, analysis));
    ASSERT_TRUE(plot.doc);
    EXPECT_EQ(plot.points.size(), 19u + 29u);
    EXPECT_EQ(plot.fitLines.size(), 0u);
    EXPECT_NE(plot.legend.find("No fitted line: no two-parameter fit."), std::string::npos) << plot.legend;
    const std::string svg = lifeDataPlotSvg("salinity_intervals.dat", data, analysis);
    EXPECT_NE(svg.find("<path class=\"curve\" d=\"M"), std::string::npos) << "the three-parameter fit";
}

TEST(CliMle, PlotPositionsAreJohnsonsAdjustedRanks)
{
    // Worked by hand for 6 units: F 1, S 2, F 3 (2 units), S 5, F 6. Increments (N + 1 - previous
    // rank) / (1 + units not yet passed): 6/6 = 1 at t = 1, then 6/5 = 1.2 and 4.8/4 = 1.2 at t = 3
    // (rank 3.4), then 3.6/2 = 1.8 at t = 6 (rank 5.2). F = (rank - 0.3) / (N + 0.4).
    const std::string data = writeTempFile("cli-mle-ranks.dat", "1\n2 S\n3 F 2\n5 S\n6\n");
    const std::string plotPath = writeTempFile("cli-mle-ranks.svg", "");
    const ProgramRun run = runVarnel({"--mle", "--two-parameter", "--plot", plotPath, data});
    ASSERT_EQ(run.status, 0) << run.err;
    const ParsedPlot plot = parsePlot(fileText(plotPath));
    ASSERT_EQ(plot.points.size(), 3u);
    const double times[] = {1, 3, 6}, ranks[] = {1, 3.4, 5.2};
    for (std::size_t i = 0; i < 3; ++i) {
        const double F = (ranks[i] - 0.3) / 6.4;
        EXPECT_NEAR(pixel(plot.points[i], "cx"), plot.x.pixelOf(std::log(times[i])), 0.02) << i;
        EXPECT_NEAR(pixel(plot.points[i], "cy"), plot.y.pixelOf(std::log(-std::log1p(-F))), 0.02) << i;
    }
}

TEST(CliMle, StatusesErrorsAndTheClassicWarning)
{
    ProgramRun run = runVarnel({"--mle", "--json", example("synthetic_extreme_value.dat")});
    EXPECT_EQ(run.status, 0);
    json doc = json::parse(run.out);
    EXPECT_EQ(doc["threeParameter"]["status"], "no finite maximum");
    EXPECT_TRUE(doc["threeParameter"]["gamma"].is_null());
    EXPECT_TRUE(doc["likelihoodRatio"].is_null());

    run = runVarnel({"--mle", "-g", "10", example("ball_bearings.dat")});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\ngamma                  10\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("three-parameter"), std::string::npos) << run.out;

    const std::string bad = writeTempFile("cli-mle-bad.dat", "1\n2 F 0\n");
    run = runVarnel({"--mle", "--json", bad});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(json::parse(run.out)["error"], bad + ":2: expected a count after the state: a whole number from 1 to 2147483647 in digits");
    EXPECT_NE(run.err.find("varnel: " + bad + ":2: "), std::string::npos) << run.err;

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--mle", "-r", "2"}, {"--mle", "--time-limit=3"}, {"--mle", "-o", "report.txt"}, {"--two-parameter"},
             {"--threads", "2"}, {"--mle", "--threads", "0"}}) {
        std::vector<std::string> words = args;
        words.push_back(example("ball_bearings.dat"));
        run = runVarnel(words);
        EXPECT_EQ(run.status, 2) << args[0] << " " << args.back();
        EXPECT_EQ(run.out, "");
    }

    // The classic method reads the first number of each line and says what that means here.
    run = runVarnel({"-q", example("ovarian_suspensions.dat")});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("varnel: warning: 14 data lines are marked S or I or with a count; the classic method "
                           "counts each line as one failure (use --life"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(runVarnel({"-q", example("ball_bearings.dat")}).err.find("warning"), std::string::npos);
}

// ---- A known shape and test plans -------------------------------------------------------------

TEST(CliKnownShape, WeibayesWithoutFailuresIsAResultAndCountsMatchLines)
{
    const std::string counted = writeTempFile("cli-shape-counts.dat", "100 S 5\n200 S 3\n");
    const std::string lines = writeTempFile("cli-shape-lines.dat", "200 S\n100 S\n100 S\n200 S\n100 S\n100 S\n200 S\n100 S\n");
    const ProgramRun run = runVarnel({"--mle", "--shape", "2", "--json", counted});
    ASSERT_EQ(run.status, 0) << run.err;
    json doc = json::parse(run.out);
    const json& two = doc["twoParameter"];
    EXPECT_EQ(two["status"], "zero failures: only a lower bound");
    EXPECT_EQ(two["shapeFixed"], true);
    EXPECT_EQ(two["m"], 2);
    EXPECT_TRUE(two["eta"].is_null());
    EXPECT_TRUE(two["bounds"]["eta"]["estimate"].is_null());
    EXPECT_TRUE(two["bounds"]["eta"]["chiSquare"]["upper"].is_null());
    EXPECT_EQ(two["bounds"]["eta"]["chiSquare"]["upperText"], "unbounded");
    EXPECT_EQ(two["bLives"][0]["chiSquare"]["upperText"], "unbounded");
    EXPECT_FALSE(two["bounds"]["eta"].contains("fisher"));
    // (2 S / chi2(0.95; 2))^(1/2) with S = 170000; chi2.isf(0.05, 2) = 5.991464547107983 (scipy 1.10.1).
    EXPECT_NEAR(two["etaLowerOneSided"].get<double>(), std::sqrt(340000 / 5.991464547107983), 1e-10);
    EXPECT_EQ(doc["threeParameter"]["status"], "not fitted");

    ProgramRun written = runVarnel({"--mle", "--shape", "2", "--json", "--threads", "3", lines});
    json other = json::parse(written.out);
    EXPECT_EQ(other["data"]["lines"], 8);
    other["data"]["lines"] = 2;
    EXPECT_EQ(other.dump(), doc.dump());

    written = runVarnel({"--mle", "--shape", "2", counted});
    EXPECT_EQ(written.status, 0);
    EXPECT_NE(written.out.find("m (known)"), std::string::npos) << written.out;
    EXPECT_NE(written.out.find("Weibayes: eta >= 238.217 at one-sided confidence 0.95"), std::string::npos)
        << written.out;
}

TEST(CliPlan, SentenceAndJson)
{
    const std::vector<std::string> common = {"--plan", "--shape", "2", "--reliability", "0.9", "--at", "500",
                                             "--confidence", "0.9"};
    auto with = [&](std::initializer_list<std::string> more) {
        std::vector<std::string> words = common;
        words.insert(words.end(), more);
        return runVarnel(words);
    };
    ProgramRun run = with({"--test-time", "1000"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Test 6 units for 1000 each with at most 0 failures to show R(500) >= 0.9 at 90 % confidence, "
                       "if m = 2\n");
    // L = 500 sqrt(ln 10 / (6 ln(1/0.9))) = 954.25244..., shown rounded up.
    run = with({"--units", "6"});
    EXPECT_EQ(run.out, "Test 6 units for 954.253 each with at most 0 failures to show R(500) >= 0.9 at 90 % "
                       "confidence, if m = 2\n");
    run = with({"--units=13", "--failures-allowed", "2", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json doc = json::parse(run.out);
    EXPECT_EQ(doc["method"], "plan");
    EXPECT_EQ(doc["failuresAllowed"], 2);
    EXPECT_EQ(doc["units"], 13);
    lifedata::TestPlan plan;
    plan.shape = 2, plan.reliability = 0.9, plan.at = 500, plan.confidence = 0.9, plan.failuresAllowed = 2,
    plan.units = 13;
    EXPECT_EQ(doc["testTime"].get<double>(), lifedata::planTest(plan).testTime);
}

TEST(CliPlan, UsageErrors)
{
    const std::string data = example("ball_bearings.dat");
    const std::vector<std::string> good = {"--plan", "--shape", "2", "--reliability", "0.9", "--at", "500",
                                           "--confidence", "0.9", "--units", "6"};
    // Each case replaces the value after one option of `good`, or adds words.
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--reliability", "1"}, "reliability must be above 0 and below 1, not '1'"},
        {{"--reliability", "0"}, "reliability must be above 0 and below 1"},
        {{"--confidence", "1"}, "confidence of a plan must be above 0 and below 1"},
        {{"--shape", "0"}, "shape must be above 0, not '0'"},
        {{"--shape", "-2"}, "shape must be above 0"},
        {{"--at", "0"}, "the time of the reliability must be above 0"},
        {{"--units", "0"}, "units must be a whole number above 0"},
        {{"--units", "2.5"}, "units must be a whole number above 0"},
        {{"--test-time", "-1"}, "test time must be above 0"},
        {{"--test-time", "100"}, "one of --units and --test-time, not both"},
        {{"--failures-allowed", "-1"}, "failures allowed must be a whole number from 0"},
        {{"--failures-allowed", "6"}, "units must be more than the failures allowed"},
        {{data}, "--plan takes no data file"},
        {{"--mle"}, "option --mle cannot be used with --plan"},
        {{"--b-life", "10"}, "option --b-life cannot be used with --plan"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
    };
    for (const auto& [change, message] : cases) {
        std::vector<std::string> words = good;
        const auto at = std::find(words.begin(), words.end(), change[0]);
        if (change.size() == 2 && at != words.end() && change[0] != "--test-time")
            *(at + 1) = change[1];
        else
            words.insert(words.end(), change.begin(), change.end());
        const ProgramRun run = runVarnel(words);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    for (const auto& [words, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--plan", "--shape", "2", "--at", "5", "--confidence", "0.9", "--units", "3"}, "--plan needs --reliability"},
             {{"--plan", "--shape", "2", "--reliability", "0.9", "--at", "5", "--confidence", "0.9"},
              "--plan needs --units or --test-time"},
             {{"--units", "5", data}, "--units needs --plan"},
             {{"--shape", "2", data}, "--shape needs --life or --plan"},
             {{"--life", "--method", "rrx", "--shape", "2", data}, "--shape needs --method mle"},
             {{"--mle", "--shape", "2", "--bootstrap", "10", data}, "--bootstrap cannot be used with --shape"}}) {
        const ProgramRun run = runVarnel(words);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

// ---- --life, its methods, and its text ---------------------------------------------------------

TEST(CliLife, LifeAndMleWriteTheSameDocument)
{
    const ProgramRun mle = runVarnel({"--mle", "--json", "--threads", "1", example("ovarian_suspensions.dat")});
    ASSERT_EQ(mle.status, 0) << mle.err;
    EXPECT_EQ(runVarnel({"--life", "--json", "--threads", "1", example("ovarian_suspensions.dat")}).out, mle.out);
    EXPECT_EQ(runVarnel({"--life", "--method", "mle", "--json", example("ovarian_suspensions.dat")}).out, mle.out);
    const json doc = json::parse(mle.out);
    EXPECT_EQ(doc["method"], "mle");
    // What every maximum-likelihood fit adds, from the analysis itself.
    const lifedata::Analysis analysis =
        lifedata::analyseLifeData(lifedata::readLifeDataFile(example("ovarian_suspensions.dat")), {});
    const lifedata::ModelInference& two = analysis.twoParameterInference;
    EXPECT_EQ(doc["twoParameter"]["covariance"][0][1].get<double>(), two.covariance[0][1]);
    EXPECT_EQ(doc["twoParameter"]["standardErrors"]["eta"].get<double>(), std::sqrt(two.covariance[1][1]));
    EXPECT_EQ(doc["twoParameter"]["aicc"].get<double>(), two.criteria.aicc);
    EXPECT_EQ(doc["twoParameter"]["mode"].get<double>(), two.distribution.mode);
    EXPECT_EQ(doc["twoParameter"]["mReducedBias"].get<double>(), two.mReducedBias);
    // No three-parameter estimate here, and so nothing of it.
    EXPECT_FALSE(doc["threeParameter"].contains("covariance"));
    const json bearings = json::parse(runVarnel({"--life", "--json", example("ball_bearings.dat")}).out);
    EXPECT_EQ(bearings["threeParameter"]["covariance"].size(), 3u);
    EXPECT_EQ(bearings["threeParameter"]["standardErrors"].size(), 3u);
    EXPECT_FALSE(bearings["threeParameter"].contains("mReducedBias"));
}

TEST(CliLife, RankRegressionWritesEstimatesOnlyAndDrawsItsLine)
{
    const std::string plotPath = writeTempFile("cli-rry.svg", "");
    const ProgramRun run = runVarnel({"--life", "--method", "rry", "--json", "--at", "50", "--plot", plotPath,
                                      example("ball_bearings.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    const json doc = json::parse(run.out);
    lifedata::AnalysisRequest request;
    request.method = lifedata::EstimationMethod::rry;
    request.at = {50};
    const lifedata::Analysis analysis =
        lifedata::analyseLifeData(lifedata::readLifeDataFile(example("ball_bearings.dat")), request);
    EXPECT_EQ(doc["method"], "rry");
    EXPECT_FALSE(doc.contains("likelihoodRatio"));
    for (const auto& [key, fit] : {std::pair{"twoParameter", analysis.twoParameter},
                                   std::pair{"threeParameter", analysis.threeParameter.fit}}) {
        const json& model = doc[key];
        EXPECT_EQ(model["m"].get<double>(), fit.m) << key;
        EXPECT_EQ(model["rSquared"].get<double>(), fit.rSquared) << key;
        for (const char* absent : {"logLikelihood", "confidence", "goodnessOfFit", "standardErrors", "aic", "profile"})
            EXPECT_FALSE(model.contains(absent)) << key << " " << absent;
        // Bound members are absent, not null.
        EXPECT_EQ(model["bounds"]["m"].size(), 1u) << model["bounds"]["m"];
        EXPECT_EQ(model["bLives"][0].size(), 2u) << model["bLives"][0];
        EXPECT_EQ(model["reliability"][0].size(), 2u) << model["reliability"][0];
        EXPECT_TRUE(model.contains("median"));
    }
    const ParsedPlot plot = parsePlot(fileText(plotPath));
    ASSERT_TRUE(plot.doc);
    ASSERT_EQ(plot.fitLines.size(), 1u);
    EXPECT_NE(plot.legend.find("rank regression on Y"), std::string::npos) << plot.legend;
    // The line is y = m (x - ln eta) of the regression.
    const lifedata::WeibullFit& two = analysis.twoParameter;
    for (const char* end : {"1", "2"}) {
        const double x = plot.x.unitOf(pixel(plot.fitLines[0], (std::string("x") + end).c_str()));
        EXPECT_NEAR(pixel(plot.fitLines[0], (std::string("y") + end).c_str()),
                    plot.y.pixelOf(two.m * (x - std::log(two.eta))), 0.05);
    }

    const ProgramRun text = runVarnel({"--life", "--method", "rrx", example("ball_bearings.dat")});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Rank regression on X   two-parameter       three-parameter\n"
                            "m                      2.24789             1.85532\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("\nr^2                    0.970344            0.978135\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("the bounds are given by --method mle"), std::string::npos) << text.out;
}

TEST(CliLife, MaximumLikelihoodTextInSixDigits)
{
    const ProgramRun run = runVarnel({"--life", "-g", "0", example("ball_bearings.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line : {"\nm                      2.10206\n", "\nm reduced bias         2.02012\n",
                             "\neta                    81.8783\n", "\nlog-likelihood        -113.691\n",
                             "\nse(m)                  0.328687\n", "\nAICc                   231.983\n",
                             "\nmean                   72.5187\n", "\n  m              2.10206        1.5472       .. 2.8559 "})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
}

TEST(CliLife, RegressionOfIntervalsNamesTheLineAndUsageErrors)
{
    const std::string data = writeTempFile("cli-rr-intervals.dat", "# inspected\n10\n\n20 S\n30 40 I\n50 60 I\n");
    const ProgramRun run = runVarnel({"--life", "--method", "rrx", "--json", data});
    EXPECT_EQ(run.status, 1);
    const std::string message = data + ":5: rank regression needs exact failure times; use --method mle";
    EXPECT_EQ(run.err, "varnel: " + message + "\n");
    const json doc = json::parse(run.out);
    EXPECT_EQ(doc["error"], message);
    EXPECT_EQ(doc["method"], "rrx");

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--method", "rrx"}, {"--mle", "--method", "rry"}, {"--life", "--method", "lsq"}, {"--life", "--mle"},
             {"--life", "--method", "rrx", "--confidence", "0.9"}, {"--life", "--method", "rry", "--bootstrap", "10"},
             {"--life", "--method", "rry", "--b-life", "5", "--bounds", "lr"}}) {
        std::vector<std::string> words = args;
        words.push_back(example("ball_bearings.dat"));
        const ProgramRun usage = runVarnel(words);
        EXPECT_EQ(usage.status, 2) << words[0] << " " << words[1];
        EXPECT_EQ(usage.out, "");
    }
    EXPECT_EQ(runVarnel({"--life", "--method", "rry", "--b-life", "5", "--at", "9", example("ball_bearings.dat")}).status, 0);
}

} // namespace
