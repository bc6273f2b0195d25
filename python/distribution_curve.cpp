// _unreliability: F(t) of a fitted distribution, through the same interface the analysis fits it
// with, so that the Python plot draws every family without a formula of its own.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <pybind11/stl.h>

#include "bindings.h"
#include "distribution.h"
#include "life_data_arrays.h"

namespace py = pybind11;

namespace {

py::array_t<double> unreliability(const std::string& name, const std::vector<double>& parameters,
                                  const DoubleArray& times)
{
    const std::unique_ptr<lifedata::Distribution> family = lifedata::makeDistribution(name);
    if (!family)
        throw py::value_error("no distribution named '" + name + "'");
    if (parameters.size() != family->parameterCount())
        throw py::value_error(name + " has " + std::to_string(family->parameterCount()) + " parameters, not " +
                              std::to_string(parameters.size()));
    double p[lifedata::maximumDistributionParameters] = {};
    family->toCoordinates(parameters.data(), p);
    py::array_t<double> result(times.size());
    const double* t = times.data();
    double* F = result.mutable_data();
    // 1 - S through expm1, so that small F keep their digits.
    for (py::ssize_t i = 0; i < times.size(); ++i)
        F[i] = -std::expm1(family->logSurvival(t[i], p, 0).value);
    return result;
}

} // namespace

void defineDistributionCurve(py::module_& module)
{
    module.def("_unreliability", &unreliability, py::arg("name"), py::arg("parameters"), py::arg("times"),
               "F(t) of the named distribution with its parameters as the JSON gives them, at each time.");
}
