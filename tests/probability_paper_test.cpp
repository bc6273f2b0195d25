// Probability papers: each family's two-parameter form is straight on its own paper, in the axis
// transform and in the drawn picture; the non-parametric steps and table; the options that choose them.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "life/nonparametric_text.h"
#include "normal_quantile.h"
#include "options.h"
#include "weibull_paper.h"

namespace {

using lifedata::normalDistribution;

struct Family {
    PaperKind paper;
    std::function<double(double)> F;
};

// Two-parameter forms with their own paper (the exponential's has one parameter, its line
// passing through the origin).
const std::vector<Family> families = {
    {PaperKind::weibull, [](double t) { return -std::expm1(-std::pow(t / 20, 1.7)); }},
    {PaperKind::lognormal, [](double t) { return normalDistribution((std::log(t) - 3) / 0.6); }},
    {PaperKind::normal, [](double t) { return normalDistribution((t - 25) / 8); }},
    {PaperKind::exponential, [](double t) { return -std::expm1(-t / 30); }},
};

struct Pixel {
    double x;
    double y;
};

// The vertices of the first path of `svgClass`, in pixels, and how many pieces ("M") it has.
std::vector<Pixel> pathVertices(const std::string& svg, const std::string& svgClass, int& pieces)
{
    const std::regex path("<path class=\"" + svgClass + "\" d=\"([^\"]*)\"");
    std::smatch match;
    std::vector<Pixel> vertices;
    pieces = 0;
    if (!std::regex_search(svg, match, path))
        return vertices;
    const std::string d = match[1];
    const std::regex vertex("([ML]) ?(-?[0-9.]+) (-?[0-9.]+)");
    for (auto it = std::sregex_iterator(d.begin(), d.end(), vertex); it != std::sregex_iterator(); ++it) {
        pieces += (*it)[1] == "M";
        vertices.push_back({std::stod((*it)[2]), std::stod((*it)[3])});
    }
    return vertices;
}

// Paper with points of the family at times 2 to 60, so that the frame spans them.
WeibullPaper paperOf(const Family& family)
{
    WeibullPaper paper;
    paper.kind = family.paper;
    const PaperScale scale{family.paper};
    for (double t = 2; t <= 60; t *= 1.5)
        paper.points.push_back({scale.x(t), scale.y(family.F(t))});
    paper.slope = std::nan("");
    paper.intercept = std::nan("");
    return paper;
}

double largestDistanceFromChord(const std::vector<Pixel>& v)
{
    const Pixel a = v.front();
    const Pixel b = v.back();
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    double largest = 0;
    for (const Pixel& p : v)
        largest = std::max(largest, std::fabs((b.x - a.x) * (a.y - p.y) - (a.x - p.x) * (b.y - a.y)) / length);
    return largest;
}

bool parses(std::vector<const char*> words, CliOptions& options, std::string& error)
{
    words.insert(words.begin(), "varnel");
    return parseOptions(static_cast<int>(words.size()), words.data(), options, error);
}

} // namespace

TEST(ProbabilityPaper, EachFamilyIsStraightInTheTransform)
{
    for (const Family& family : families) {
        const PaperScale scale{family.paper};
        const double x0 = scale.x(3);
        const double y0 = scale.y(family.F(3));
        const double slope = (scale.y(family.F(50)) - y0) / (scale.x(50) - x0);
        for (double t : {1.0, 7.5, 20.0, 33.3, 70.0})
            EXPECT_NEAR((scale.y(family.F(t)) - y0) / (scale.x(t) - x0), slope, 1e-9 * std::fabs(slope))
                << paperName(family.paper) << " at " << t;
    }
}

TEST(ProbabilityPaper, EachFamilysCurveIsDrawnStraightOnItsOwnPaperOnly)
{
    for (const Family& family : families) {
        WeibullPaper paper = paperOf(family);
        paper.models.push_back({family.F, "own family", true});
        paper.models.push_back({families[(&family - families.data() + 1) % families.size()].F, "another", false});
        const std::string svg = drawWeibullPaper(paper);
        int pieces = 0;
        const std::vector<Pixel> own = pathVertices(svg, "model", pieces);
        ASSERT_GT(own.size(), 100u) << paperName(family.paper);
        EXPECT_EQ(pieces, 1);
        // Pixels are written to 0.01: a straight line stays within that of its chord.
        EXPECT_LT(largestDistanceFromChord(own), 0.02) << paperName(family.paper);
        const std::size_t second = svg.find("<path class=\"model\"", svg.find("<path class=\"model\"") + 1);
        const std::vector<Pixel> other = pathVertices(svg.substr(second), "model", pieces);
        ASSERT_GT(other.size(), 10u);
        EXPECT_GT(largestDistanceFromChord(other), 2.0) << paperName(family.paper);
    }
}

TEST(ProbabilityPaper, StepsLeaveOutOnlyWhatThePaperCannotShow)
{
    // F = 0 lies at -infinity on Weibull paper and at 0 on exponential paper; an interval reaching
    // infinity has no right end on any.
    for (const Family& family : {families[0], families[3]}) {
        WeibullPaper paper = paperOf(family);
        paper.steps = {{5, 0}, {5, 0.2}, {12, 0.2}, {20, 0.7}, {40, 0.7}, {HUGE_VAL, 1}};
        paper.stepsLabel = "Turnbull";
        int pieces = 0;
        const std::vector<Pixel> steps = pathVertices(drawWeibullPaper(paper), "nonparametric", pieces);
        EXPECT_EQ(steps.size(), family.paper == PaperKind::weibull ? 4u : 5u);
        EXPECT_EQ(pieces, 1);
        EXPECT_EQ(steps[steps.size() - 2].y, steps.back().y); // flat from 20 to 40
    }
}

TEST(ProbabilityPaper, DefaultPaperDrawsNothingNew)
{
    WeibullPaper paper = paperOf(families[0]);
    const std::string svg = drawWeibullPaper(paper);
    EXPECT_NE(svg.find("<title>Weibull plot of "), std::string::npos);
    EXPECT_NE(svg.find("Weibull scale</text>"), std::string::npos);
    EXPECT_EQ(svg.find("model-area"), std::string::npos);
    paper.kind = PaperKind::lognormal;
    EXPECT_NE(drawWeibullPaper(paper).find("<title>Lognormal plot of "), std::string::npos);
}

TEST(PaperOptions, ChoicesAndRefusals)
{
    CliOptions options;
    std::string error;
    ASSERT_TRUE(parses({"--life", "--plot", "p.svg", "--paper", "lognormal", "--nonparametric", "d.dat"}, options, error))
        << error;
    EXPECT_EQ(options.paper, PaperKind::lognormal);
    EXPECT_TRUE(options.bounds.nonParametric);
    const std::vector<std::pair<std::vector<const char*>, std::string>> refused = {
        {{"--life", "--plot", "p.svg", "--paper", "gumbel", "d.dat"},
         "option --paper needs weibull, lognormal, normal or exponential, not 'gumbel'"},
        {{"--life", "--paper", "normal", "d.dat"}, "--paper needs --plot: it chooses the plot's paper"},
        {{"--plot", "p.svg", "--paper", "normal", "d.dat"}, "--paper needs --life"},
        {{"--nonparametric", "d.dat"}, "--nonparametric needs --life"},
        {{"--plan", "--nonparametric", "--shape", "2", "--units", "5"}, "option --nonparametric cannot be used with --plan"},
    };
    for (const auto& [words, message] : refused) {
        CliOptions refusedOptions;
        EXPECT_FALSE(parses(words, refusedOptions, error));
        EXPECT_EQ(error, message);
    }
}

TEST(NonParametricText, KaplanMeierRowsWithBoundsAndTurnbullIntervals)
{
    lifedata::AnalysisRequest request;
    request.bounds = lifedata::BoundsChoice::none;
    request.nonParametric = true;
    request.confidence = 0.9;
    // At 10: 1 of 2 at risk fails, S = 0.5, var ln S = 1/2, lower 0.5 exp(-1.644854 sqrt(1/2)) = 0.15626;
    // at 20 the last unit fails: S = 0 and no bounds.
    const lifedata::LifeData failures{{5, 10, 20}, {5, 10, 20},
                                      {lifedata::State::suspension, lifedata::State::failure, lifedata::State::failure},
                                      {1, 1, 1}};
    EXPECT_EQ(nonParametricText(lifedata::analyseLifeData(failures, request), request),
              "\nKaplan-Meier estimate, 90% bounds on the log scale (Greenwood's variance)\n"
              "  time          survival      lower         upper\n"
              "  10            0.5           0.15626       1\n"
              "  20            0             -             -\n"
              "Non-parametric estimate: ok\n");
    const lifedata::LifeData intervals{{0, 5}, {10, 20}, {lifedata::State::interval, lifedata::State::interval}, {1, 1}};
    EXPECT_EQ(nonParametricText(lifedata::analyseLifeData(intervals, request), request),
              "\nTurnbull estimate: the intervals (from, to] that hold probability (from = to: an exact time)\n"
              "  from          to            survival\n"
              "  5             10            0\n"
              "Non-parametric estimate: ok\n");
    request.nonParametric = false;
    EXPECT_EQ(nonParametricText(lifedata::analyseLifeData(intervals, request), request), "");
}
