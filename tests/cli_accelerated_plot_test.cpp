// The two pictures of an accelerated analysis: well-formed SVG read by a real XML parser, one line
// per stress all with the common slope, each stress's own points, the second file's name and its
// B-life line with the Fisher band; and the program writing both files.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "accelerated_analysis.h"
#include "life/accelerated_plot.h"
#include "life/life_stress_plot.h"
#include "life_data_file.h"

namespace {

struct Document {
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc{nullptr, xmlFreeDoc};
    std::vector<xmlNode*> elements; // every element, in document order
};

void collect(xmlNode* node, std::vector<xmlNode*>& out)
{
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            out.push_back(node);
            collect(node->children, out);
        }
    }
}

Document parsed(const std::string& svg)
{
    Document document;
    document.doc.reset(xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "plot.svg", nullptr, XML_PARSE_NONET));
    if (document.doc)
        collect(xmlDocGetRootElement(document.doc.get()), document.elements);
    return document;
}

std::string attribute(xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    const std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

std::vector<xmlNode*> withClass(const Document& document, const std::string& cls)
{
    std::vector<xmlNode*> found;
    for (xmlNode* node : document.elements) {
        if (attribute(node, "class") == cls)
            found.push_back(node);
    }
    return found;
}

double number(xmlNode* node, const char* name) { return std::stod(attribute(node, name)); }

lifedata::LifeData motorettes()
{
    return lifedata::readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/motorette_insulation.dat", {true});
}

lifedata::AcceleratedAnalysis analysed(const lifedata::LifeData& data, unsigned threads = 1)
{
    lifedata::AcceleratedRequest request;
    request.celsius = true;
    request.useStresses = {130};
    request.settings.threads = threads;
    return lifedata::analyseAcceleratedLife(data, request);
}

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(CliAcceleratedPlot, OneLinePerStressWithTheCommonSlopeAndEachStresssPoints)
{
    const lifedata::LifeData data = motorettes();
    const lifedata::AcceleratedAnalysis analysis = analysed(data);
    const Document svg = parsed(acceleratedWeibullPlotSvg("motorettes", data, analysis));
    ASSERT_TRUE(svg.doc) << "not well-formed";
    const std::vector<xmlNode*> series = withClass(svg, "series");
    // 150 C has no failures, yet the model gives it a line: the life it predicts there.
    ASSERT_EQ(series.size(), 4u);
    const std::vector<xmlNode*> lines = withClass(svg, "series-fit");
    ASSERT_EQ(lines.size(), 4u);
    std::vector<double> slopes;
    for (xmlNode* line : lines)
        slopes.push_back((number(line, "y2") - number(line, "y1")) / (number(line, "x2") - number(line, "x1")));
    for (double slope : slopes)
        EXPECT_NEAR(slope / slopes.front(), 1, 2e-3) << "pixels are written to 0.01";
    EXPECT_LT(slopes.front(), 0) << "F rises to the right, and SVG's y runs down";
    // The failures of each stress (none, 7, 3 and 2 records: one point a record) in the group of its colour.
    const std::size_t expected[] = {0, 7, 3, 2};
    for (std::size_t i = 0; i < series.size(); ++i) {
        std::size_t points = 0;
        for (xmlNode* child = series[i]->children; child; child = child->next)
            points += child->type == XML_ELEMENT_NODE && attribute(child, "class") == "series-point";
        EXPECT_EQ(points, expected[i]) << "stress " << i;
    }
    // The one-line paper's own line and points stay out.
    EXPECT_TRUE(withClass(svg, "fit").empty());
    EXPECT_TRUE(withClass(svg, "point").empty());
}

TEST(CliAcceleratedPlot, TheSecondFileTakesLifeStressBeforeTheExtension)
{
    EXPECT_EQ(lifeStressPlotPath("plot.svg"), "plot-life-stress.svg");
    EXPECT_EQ(lifeStressPlotPath("out/a.b.svg"), "out/a.b-life-stress.svg");
    EXPECT_EQ(lifeStressPlotPath("out.d/plot"), "out.d/plot-life-stress");
    EXPECT_EQ(lifeStressPlotPath("out/.svg"), "out/.svg-life-stress");
}

TEST(CliAcceleratedPlot, LifeAgainstStressIsAStraightBLifeInsideItsBand)
{
    const lifedata::LifeData data = motorettes();
    const lifedata::AcceleratedAnalysis analysis = analysed(data);
    const Document svg = parsed(lifeStressPlotSvg("motorettes", data, analysis, 10, 0.9));
    ASSERT_TRUE(svg.doc) << "not well-formed";
    const std::vector<xmlNode*> life = withClass(svg, "b-life");
    ASSERT_EQ(life.size(), 1u);
    // x = 1/T across and ln t up straighten ln eta = a + b/T: first, middle and last points in line.
    std::istringstream points(attribute(life.front(), "points"));
    std::vector<std::pair<double, double>> xy;
    for (std::string pair; points >> pair;)
        xy.push_back({std::stod(pair.substr(0, pair.find(','))), std::stod(pair.substr(pair.find(',') + 1))});
    ASSERT_GT(xy.size(), 10u);
    const auto [x0, y0] = xy.front();
    const auto [x1, y1] = xy[xy.size() / 2];
    const auto [x2, y2] = xy.back();
    EXPECT_NEAR((y1 - y0) / (x1 - x0), (y2 - y0) / (x2 - x0), 1e-3);
    EXPECT_LT(y2, y0) << "cooler, to the right, lives longer";
    // The band's sides lie one above and one below the line at the same x: compare at the middle.
    const std::vector<xmlNode*> band = withClass(svg, "band");
    ASSERT_EQ(band.size(), 2u);
    std::vector<double> middles;
    for (xmlNode* side : band) {
        std::istringstream sidePoints(attribute(side, "points"));
        std::vector<std::string> pairs;
        for (std::string pair; sidePoints >> pair;)
            pairs.push_back(pair);
        ASSERT_EQ(pairs.size(), xy.size());
        middles.push_back(std::stod(pairs[pairs.size() / 2].substr(pairs[pairs.size() / 2].find(',') + 1)));
    }
    EXPECT_GT(std::max(middles[0], middles[1]), y1);
    EXPECT_LT(std::min(middles[0], middles[1]), y1);
    EXPECT_EQ(withClass(svg, "point").size(), 12u); // 12 failure records
    const std::string second = lifeStressPlotSvg("motorettes", data, analysis, 10, 0.9);
    EXPECT_NE(second.find(">B10 life<"), std::string::npos);
    // The pictures of three threads are the same bytes as those of one.
    const lifedata::AcceleratedAnalysis threaded = analysed(data, 3);
    EXPECT_EQ(lifeStressPlotSvg("motorettes", data, threaded, 10, 0.9), second);
    EXPECT_EQ(acceleratedWeibullPlotSvg("m", data, threaded), acceleratedWeibullPlotSvg("m", data, analysis));
    EXPECT_NE(second.find(">Fisher band, 90%<"), std::string::npos);
    EXPECT_NE(second.find("temperature (\u00B0C) on a 1/T scale"), std::string::npos);
}

TEST(CliAcceleratedPlot, TheProgramWritesBothPicturesWithTheFirstBLife)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("varnel_accelerated_plot_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string command = std::string(VARNEL_PROGRAM) + " --life --stress arrhenius --celsius --b-life 1 " +
                                "--plot " + (dir / "p.svg").string() + " " + VARNEL_EXAMPLES +
                                "/motorette_insulation.dat > " + (dir / "out").string();
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(parsed(fileText(dir / "p.svg")).doc);
    const std::string second = fileText(dir / "p-life-stress.svg");
    EXPECT_TRUE(parsed(second).doc);
    EXPECT_NE(second.find(">B1 life<"), std::string::npos);
    // A second file that cannot be written fails the run, the results still given.
    std::filesystem::create_directory(dir / "q-life-stress.svg");
    const std::string blocked = std::string(VARNEL_PROGRAM) + " --life --stress arrhenius --celsius --plot " +
                                (dir / "q.svg").string() + " " + VARNEL_EXAMPLES + "/motorette_insulation.dat > " +
                                (dir / "out").string() + " 2>&1";
    const int failed = std::system(blocked.c_str());
    EXPECT_TRUE(WIFEXITED(failed) && WEXITSTATUS(failed) == 1);
    const std::string output = fileText(dir / "out");
    EXPECT_NE(output.find("cannot write plot " + (dir / "q-life-stress.svg").string()), std::string::npos);
    EXPECT_NE(output.find("Accelerated life model"), std::string::npos) << "the results are still given";
    std::filesystem::remove_all(dir);
}
