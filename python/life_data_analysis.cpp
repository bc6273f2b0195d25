// Life-data analysis for Python: the data file's records as arrays, and the analysis of records as
// the command line's JSON document, so that a Python result holds the command line's numbers to
// the bit. Analyses keep no state, so the interpreter lock is released while they compute and many
// can run at once from Python threads.
#include <cstdint>
#include <optional>
#include <string>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "analysis_json.h"
#include "bindings.h"
#include "life_analysis.h"
#include "life_data_arrays.h"
#include "life_data_file.h"

namespace py = pybind11;

namespace {

lifedata::ModelChoice modelChoice(const std::string& model, bool gammaFixed)
{
    if (model == "both")
        return gammaFixed ? lifedata::ModelChoice::twoParameter : lifedata::ModelChoice::both;
    if (model == "2p" || model == "two-parameter")
        return lifedata::ModelChoice::twoParameter;
    if (model == "3p" || model == "three-parameter") {
        if (gammaFixed)
            throw py::value_error("gamma fixes the location: the three-parameter model estimates it");
        return lifedata::ModelChoice::threeParameter;
    }
    throw py::value_error("model must be 'both', '2p' or '3p', not '" + model + "'");
}

py::tuple readData(const std::string& path)
{
    lifedata::LifeData data;
    {
        py::gil_scoped_release release;
        data = lifedata::readLifeDataFile(path);
    }
    return lifeDataArrays(data);
}

std::string fit(const DoubleArray& times, const py::object& states, const py::object& counts,
                const py::object& intervals, const std::string& model, std::optional<double> gamma, unsigned threads)
{
    const lifedata::LifeData data = lifeDataFromArrays(times, states, counts, intervals);
    lifedata::AnalysisRequest request;
    request.model = modelChoice(model, gamma.has_value());
    request.gamma = gamma.value_or(0.0);
    request.threads = threads;
    py::gil_scoped_release release;
    return lifedata::analysisJson(lifedata::analyseLifeData(data, request), request);
}

} // namespace

void defineLifeDataAnalysis(py::module_& module)
{
    py::register_exception<lifedata::DataError>(module, "DataError", PyExc_ValueError);
    module.def("_read_data", &readData, py::arg("path"),
               "The data file's records: (times, states, counts, interval upper ends).");
    module.def("_fit", &fit, py::arg("times"), py::arg("states"), py::arg("counts"), py::arg("intervals"),
               py::arg("model"), py::arg("gamma"), py::arg("threads"),
               "The life-data analysis of the records as the JSON text of `varnel --mle --json`.");
}
