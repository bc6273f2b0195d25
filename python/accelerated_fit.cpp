// Accelerated life models for Python: the records with a stress each, analysed as
// `varnel --life --stress MODEL --json` and returned as its JSON text.
#include <cstdint>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "accelerated_json.h"
#include "bindings.h"
#include "watched_run.h"
#include "life_data_arrays.h"

namespace py = pybind11;

namespace {

// The accelerated choices, and the inference choices the plain fit has too.
struct AcceleratedOptions {
    std::string model;
    bool celsius;
    std::vector<double> use;
    double confidence;
    std::vector<double> bLives;
    std::vector<double> at;
    std::string bounds;
    unsigned threads;
};

lifedata::AcceleratedRequest acceleratedRequest(const AcceleratedOptions& options)
{
    lifedata::AcceleratedRequest request;
    if (!lifedata::stressModelFromName(options.model, request.model))
        throw py::value_error("stress_model must be 'arrhenius', 'power' or 'exponential', not '" + options.model + "'");
    request.celsius = options.celsius;
    request.useStresses = options.use;
    request.settings.confidence = options.confidence;
    request.settings.bLifePercents = options.bLives;
    request.settings.at = options.at;
    request.settings.bounds = boundsChoice(options.bounds);
    request.settings.threads = options.threads;
    return request;
}

std::string fitAccelerated(const DoubleArray& times, const py::object& states, const py::object& counts,
                           const py::object& intervals, const DoubleArray& stresses, const AcceleratedOptions& options)
{
    lifedata::LifeData data = lifeDataFromArrays(times, states, counts, intervals);
    if (stresses.ndim() != 1 || static_cast<std::size_t>(stresses.size()) != data.values.size())
        throw py::value_error("stresses must be one stress per record");
    data.stresses.assign(stresses.data(), stresses.data() + stresses.size());
    lifedata::AcceleratedRequest request = acceleratedRequest(options);
    std::string document;
    runCancellable([&](const std::atomic<bool>& cancel) {
        request.settings.cancel = &cancel;
        document = lifedata::acceleratedAnalysisJson(lifedata::analyseAcceleratedLife(data, request));
    });
    return document;
}

} // namespace

void defineAcceleratedFit(py::module_& module)
{
    py::class_<AcceleratedOptions>(module, "_AcceleratedOptions")
        .def(py::init<std::string, bool, std::vector<double>, double, std::vector<double>, std::vector<double>,
                      std::string, unsigned>());
    module.def("_fit_accelerated", &fitAccelerated, py::arg("times"), py::arg("states"), py::arg("counts"),
               py::arg("intervals"), py::arg("stresses"), py::arg("options"),
               "The accelerated life analysis of the records as the JSON text of `varnel --life --stress MODEL --json`.");
}
