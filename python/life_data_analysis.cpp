// Life-data analysis for Python: the data file's records as arrays, and the analysis of records as
// the command line's JSON document, so that a Python result holds the command line's numbers to
// the bit. Analyses keep no state, so the interpreter lock is released while they compute and many
// can run at once from Python threads. An analysis runs on a worker thread while the calling thread
// watches for Ctrl-C, which cancels it and raises KeyboardInterrupt.
#include <atomic>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "adjusted_ranks.h"
#include "analysis_json.h"
#include "bindings.h"
#include "data_file_check.h"
#include "distribution.h"
#include "life_analysis.h"
#include "life_data_arrays.h"
#include "life_data_file.h"
#include "mode_labels.h"
#include "watched_run.h"

namespace py = pybind11;

lifedata::BoundsChoice boundsChoice(const std::string& bounds)
{
    if (bounds == "both")
        return lifedata::BoundsChoice::both;
    if (bounds == "fisher")
        return lifedata::BoundsChoice::fisher;
    if (bounds == "lr")
        return lifedata::BoundsChoice::likelihoodRatio;
    if (bounds == "none")
        return lifedata::BoundsChoice::none;
    throw py::value_error("bounds must be 'none', 'fisher', 'lr' or 'both', not '" + bounds + "'");
}

namespace {

lifedata::ModelChoice modelChoice(const std::string& model, bool gammaFixed, bool shapeKnown)
{
    if (shapeKnown && (model == "3p" || model == "three-parameter"))
        throw py::value_error("shape fixes m: only the two-parameter model takes a known shape");
    if (model == "both")
        return gammaFixed || shapeKnown ? lifedata::ModelChoice::twoParameter : lifedata::ModelChoice::both;
    if (model == "2p" || model == "two-parameter")
        return lifedata::ModelChoice::twoParameter;
    if (model == "3p" || model == "three-parameter") {
        if (gammaFixed)
            throw py::value_error("gamma fixes the location: the three-parameter model estimates it");
        return lifedata::ModelChoice::threeParameter;
    }
    throw py::value_error("model must be 'both', '2p' or '3p', not '" + model + "'");
}

lifedata::EstimationMethod estimationMethod(const std::string& method)
{
    if (method == "mle")
        return lifedata::EstimationMethod::mle;
    if (method == "rrx")
        return lifedata::EstimationMethod::rrx;
    if (method == "rry")
        return lifedata::EstimationMethod::rry;
    throw py::value_error("method must be 'mle', 'rrx' or 'rry', not '" + method + "'");
}

// What the command line's options ask for; the ranges are checked by the analysis, with its texts.
struct FitOptions {
    std::string model;
    std::optional<double> gamma;
    double confidence;
    std::vector<double> bLives;
    std::vector<double> at;
    std::string bounds;
    unsigned bootstrap;
    std::optional<std::uint64_t> seed;
    unsigned threads;
    std::optional<double> shape;
    std::string method;
    std::vector<std::string> distributions; // set after construction; "all" stands for every one
    bool mixture = false; // set after construction, as `varnel.fit(mixture=True)` asks
    bool nonParametric = false;             // set after construction
};

lifedata::AnalysisRequest analysisRequest(const FitOptions& options)
{
    lifedata::AnalysisRequest request;
    request.model = modelChoice(options.model, options.gamma.has_value(), options.shape.has_value());
    request.shape = options.shape.value_or(0.0);
    request.gamma = options.gamma.value_or(0.0);
    request.confidence = options.confidence;
    request.bLifePercents = options.bLives;
    request.at = options.at;
    request.bounds = boundsChoice(options.bounds);
    request.bootstrap = options.bootstrap;
    request.seed = options.seed.value_or(request.seed);
    request.threads = options.threads;
    request.method = estimationMethod(options.method);
    request.mixture = options.mixture;
    request.nonParametric = options.nonParametric;
    if (request.shape > 0 && request.method != lifedata::EstimationMethod::mle)
        throw py::value_error("shape needs method 'mle': a known shape's eta is a likelihood estimate");
    for (const std::string& name : options.distributions) {
        if (name == "all")
            request.distributions = lifedata::distributionNames();
    }
    if (request.distributions.empty())
        request.distributions = options.distributions;
    return request;
}

py::tuple readData(const std::string& path)
{
    // As on the command line: a device such as /dev/zero would never end, a pipe would be drained.
    const std::string problem = dataFileProblem(path);
    if (!problem.empty())
        throw lifedata::DataError(problem);
    lifedata::LifeData data;
    {
        py::gil_scoped_release release;
        data = lifedata::readLifeDataFile(path);
    }
    return lifeDataArrays(data);
}

std::string fit(const DoubleArray& times, const py::object& states, const py::object& counts,
                const py::object& intervals, const FitOptions& options, const py::object& modes,
                const std::string& modesModel)
{
    lifedata::LifeData data = lifeDataFromArrays(times, states, counts, intervals);
    setModeLabels(data, modes);
    lifedata::AnalysisRequest request = analysisRequest(options);
    request.modes = modesChoice(modes.is_none() ? "" : modesModel);
    std::string document;
    runCancellable([&](const std::atomic<bool>& cancel) {
        request.cancel = &cancel;
        document = lifedata::analysisJson(lifedata::analyseLifeData(data, request), request);
    });
    return document;
}

// The failures' plotting positions for the Weibull plot: (times, unreliabilities), in time order.
py::tuple adjustedRanks(const DoubleArray& times, const py::object& states, const py::object& counts,
                        const py::object& intervals)
{
    const lifedata::LifeData data = lifeDataFromArrays(times, states, counts, intervals);
    lifedata::validateLifeData(data);
    const std::vector<lifedata::RankedFailure> failures = lifedata::adjustedRankFailures(data);
    py::array_t<double> failureTimes(failures.size());
    py::array_t<double> unreliabilities(failures.size());
    for (std::size_t i = 0; i < failures.size(); ++i) {
        failureTimes.mutable_data()[i] = failures[i].time;
        unreliabilities.mutable_data()[i] = failures[i].unreliability;
    }
    return py::make_tuple(failureTimes, unreliabilities);
}

} // namespace

lifedata::AnalysisRequest fitOptionsRequest(const py::handle& options)
{
    return analysisRequest(options.cast<const FitOptions&>());
}

void defineLifeDataAnalysis(py::module_& module)
{
    py::register_exception<lifedata::DataError>(module, "DataError", PyExc_ValueError);
    module.attr("MAXIMUM_THREADS") = lifedata::maximumThreads;
    module.attr("MAXIMUM_BOOTSTRAP_SAMPLES") = lifedata::maximumBootstrapSamples;
    module.def("_read_data", &readData, py::arg("path"),
               "The data file's records: (times, states, counts, interval upper ends).");
    py::class_<FitOptions>(module, "_FitOptions")
        .def(py::init<std::string, std::optional<double>, double, std::vector<double>, std::vector<double>, std::string,
                      unsigned, std::optional<std::uint64_t>, unsigned, std::optional<double>, std::string>())
        .def_readwrite("distributions", &FitOptions::distributions)
        .def_readwrite("mixture", &FitOptions::mixture)
        .def_readwrite("nonparametric", &FitOptions::nonParametric);
    module.def("_fit", &fit, py::arg("times"), py::arg("states"), py::arg("counts"), py::arg("intervals"),
               py::arg("options"), py::arg("modes") = py::none(), py::arg("modes_model") = "2p",
               "The life-data analysis of the records as the JSON text of `varnel --life --json`.");
    module.def("_adjusted_ranks", &adjustedRanks, py::arg("times"), py::arg("states"), py::arg("counts"),
               py::arg("intervals"), "The failures' times and unreliabilities at Johnson's adjusted ranks.");
}
