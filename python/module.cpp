// The extension module `varnel._varnel`. The friendly interface is the pure-Python package around it.
#include "bindings.h"

PYBIND11_MODULE(_varnel, module)
{
    module.doc() = "Varnel's core: the classic estimation and life-data analysis";
    defineLifeDataAnalysis(module);
    defineAcceleratedFit(module);
    defineClassicEstimate(module);
    defineTestPlan(module);
    defineGroupFits(module);
    defineDistributionCurve(module);
}
