// The accelerated model on the command line: its options and their refusals, and its JSON and text
// on the motorette data (the numbers themselves are checked against R in the life-data tests).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "accelerated_json.h"
#include "life/accelerated_text.h"
#include "life_data_file.h"
#include "options.h"

namespace {

bool parse(std::vector<const char*> words, CliOptions& options, std::string& error)
{
    words.insert(words.begin(), "varnel");
    return parseOptions(static_cast<int>(words.size()), words.data(), options, error);
}

TEST(CliAccelerated, OptionsAreReadAndRefusedWhereTheyMakeNoSense)
{
    CliOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--life", "--stress", "arrhenius", "--celsius", "--use-stress", "130", "--use-stress=100",
                       "data.dat"},
                      options, error))
        << error;
    EXPECT_TRUE(options.stress.given);
    EXPECT_TRUE(options.stress.celsius);
    EXPECT_EQ(options.stress.use, (std::vector<double>{130, 100}));

    const struct {
        std::vector<const char*> words;
        const char* error;
    } refused[] = {
        {{"--life", "--stress", "eyring", "d"}, "option --stress needs arrhenius, power or exponential, not 'eyring'"},
        {{"--stress", "power", "d"}, "--stress needs --life"},
        {{"--life", "--use-stress", "100", "d"}, "--use-stress needs --stress"},
        {{"--life", "--celsius", "d"}, "--celsius needs --stress"},
        {{"--life", "--stress", "power", "--celsius", "d"}, "--celsius needs --stress arrhenius: it gives temperatures"},
        {{"--life", "--stress", "power", "--use-stress", "hot", "d"}, "option --use-stress needs a number, not 'hot'"},
        {{"--life", "--method", "rrx", "--stress", "power", "d"}, "--stress needs --method mle"},
        {{"--life", "--stress", "power", "--shape", "2", "d"}, "--stress cannot be used with --shape"},
        {{"--life", "--stress", "power", "-g", "1", "d"}, "--stress cannot be used with --shape"},
        {{"--life", "--stress", "power", "--bootstrap", "10", "d"}, "--bootstrap cannot be used with --stress"},
        {{"--life", "--stress", "power", "--plot", "p.svg", "--paper", "normal", "d"},
         "--paper cannot be used with --stress"},
    };
    for (const auto& r : refused) {
        CliOptions o;
        std::string e;
        EXPECT_FALSE(parse(r.words, o, e)) << r.error;
        EXPECT_EQ(e.rfind(r.error, 0), 0u) << e;
    }
}

TEST(CliAccelerated, JsonHasTheMembersScriptsReadAndTheTextTheSameNumbers)
{
    lifedata::AcceleratedRequest request;
    request.celsius = true;
    request.useStresses = {130};
    request.settings.at = {10000};
    const lifedata::AcceleratedAnalysis analysis = lifedata::analyseAcceleratedLife(
        lifedata::readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/motorette_insulation.dat", {true}), request);
    const nlohmann::json root = nlohmann::json::parse(lifedata::acceleratedAnalysisJson(analysis));
    const nlohmann::json& model = root["acceleratedLife"];
    EXPECT_EQ(model["model"], "arrhenius");
    EXPECT_EQ(model["status"], "ok");
    EXPECT_EQ(model["m"].get<double>(), analysis.fit.m);
    EXPECT_EQ(model["activationEnergy"].get<double>(), analysis.fit.b * lifedata::boltzmannElectronVolts);
    for (const char* key : {"m", "a", "b"})
        EXPECT_TRUE(model["bounds"][key].contains("likelihoodRatio")) << key;
    ASSERT_EQ(model["stresses"].size(), 4u);
    EXPECT_EQ(model["stresses"][0]["failures"], 0);
    EXPECT_TRUE(model["stresses"][0]["eta"].is_null());
    EXPECT_EQ(model["stresses"][3]["failures"], 5);
    EXPECT_EQ(model["commonShapeTest"]["degreesOfFreedom"], 2);
    const nlohmann::json& use = model["use"][0];
    EXPECT_EQ(use["stress"], 130);
    EXPECT_EQ(use["eta"]["estimate"].get<double>(), analysis.inference.use[0].eta.estimate);
    EXPECT_EQ(use["bLives"][1]["percent"], 10);
    EXPECT_EQ(use["reliability"][0]["at"], 10000);
    EXPECT_EQ(root["data"]["units"], 40);

    const std::string text = acceleratedText(analysis);
    EXPECT_NE(text.find("activation energy b k_B = 0.837939 eV"), std::string::npos) << text;
    EXPECT_NE(text.find("150           10      0         no failures"), std::string::npos) << text;
    EXPECT_NE(text.find("2 degrees of freedom, p-value = 0.0281246"), std::string::npos) << text;
    EXPECT_NE(text.find("At stress 130:"), std::string::npos) << text;
}

} // namespace
