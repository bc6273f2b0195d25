// The Weibull plot of `varnel --life --mixture`: the mixture's curve and values where one was found,
// a note of its status where not.
#include <gtest/gtest.h>

#include <string>

#include "life/analysis_plot_svg.h"
#include "life_data_file.h"

namespace {

std::string plotOf(const lifedata::LifeData& data)
{
    lifedata::AnalysisRequest request;
    request.mixture = true;
    request.model = lifedata::ModelChoice::twoParameter;
    return lifeDataPlotSvg("data", data, lifedata::analyseLifeData(data, request));
}

} // namespace

TEST(CliMixturePlot, TheMixturesCurveAndValuesAreDrawn)
{
    const std::string svg =
        plotOf(lifedata::readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/old_faithful_eruptions.dat"));
    EXPECT_NE(svg.find("<path class=\"curve\" d=\"M"), std::string::npos);
    EXPECT_NE(svg.find("mixture of two Weibulls"), std::string::npos);
    for (const char* value : {">p =<", ">m1 =<", ">eta1 =<", ">m2 =<", ">eta2 =<"})
        EXPECT_NE(svg.find(value), std::string::npos) << value;
}

TEST(CliMixturePlot, WithoutASecondPopulationTheStatusIsNoted)
{
    lifedata::LifeData data;
    for (double t : {10.0, 20.0}) {
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(lifedata::State::failure);
        data.counts.push_back(3);
    }
    const std::string svg = plotOf(data);
    EXPECT_NE(svg.find("Mixture: one population"), std::string::npos);
    EXPECT_EQ(svg.find("class=\"curve\""), std::string::npos);
}
