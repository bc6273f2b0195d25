// The JSON document of an analysis.
#include "analysis_json.h"

#include "json_text.h"

namespace lifedata {

std::string analysisJson(const Analysis&, const AnalysisRequest&)
{
    JsonObject root(0);
    root.add("method", jsonString("mle"));
    return root.close() + "\n";
}

} // namespace lifedata
