// Test plans for Python: the plan of the given values as the JSON text of `varnel --plan --json`.
#include <optional>
#include <string>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "bindings.h"
#include "plan_json.h"
#include "test_plan.h"

namespace py = pybind11;

namespace {

// Bad values raise DataError (a ValueError) with the texts of the library.
std::string plan(double shape, double reliability, double at, double confidence, std::optional<double> units,
                 std::optional<double> testTime, double failuresAllowed)
{
    lifedata::TestPlan given;
    given.shape = shape;
    given.reliability = reliability;
    given.at = at;
    given.confidence = confidence;
    given.units = units.value_or(0);
    given.testTime = testTime.value_or(0);
    given.failuresAllowed = failuresAllowed;
    return lifedata::planJson(lifedata::planTest(given));
}

} // namespace

void defineTestPlan(py::module_& module)
{
    module.def("_plan", &plan, py::arg("shape"), py::arg("reliability"), py::arg("at"), py::arg("confidence"),
               py::arg("units"), py::arg("test_time"), py::arg("failures_allowed"),
               "The test plan as the JSON text of `varnel --plan --json`.");
}
