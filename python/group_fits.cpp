// One life-data analysis per group of records, for Python's fit_groups: the records of the whole
// table and a group code per record come in as arrays, the groups are analysed in C++ with the
// interpreter lock released, several at a time, and the results go back as column arrays. A
// Python loop over the groups would spend more time in the interpreter than in the fits.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "analysis_columns.h"
#include "bindings.h"
#include "group_analysis.h"
#include "life_data_arrays.h"
#include "watched_run.h"

namespace py = pybind11;

namespace {

using CodeArray = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>;

// ([(name, column)] in table order, errors), one entry per group in group code order: numbers as
// float64 arrays, statuses as lists of str. A failed group has NaN numbers, None texts and its
// error text; the others None as their error.
py::tuple fitGroups(const DoubleArray& times, const py::object& states, const py::object& counts,
                    const py::object& intervals, const CodeArray& codes, std::size_t groupCount,
                    const py::object& options, unsigned threads)
{
    lifedata::AnalysisRequest request = fitOptionsRequest(options);
    if (codes.ndim() != 1)
        throw py::value_error("codes must be one-dimensional");
    const std::vector<std::int64_t> codeList(codes.data(), codes.data() + codes.size());
    const lifedata::GroupedLifeData grouped =
        lifedata::groupRecords(lifeDataFromArrays(times, states, counts, intervals), codeList, groupCount);

    const lifedata::AnalysisColumns names = lifedata::analysisColumns(request);
    std::vector<py::array_t<double>> numbers;
    std::vector<double*> numberData;
    for (std::size_t k = 0; k < names.numbers.size(); ++k) {
        numbers.emplace_back(groupCount);
        numberData.push_back(numbers.back().mutable_data());
    }
    std::vector<std::vector<std::string>> texts(names.texts.size(), std::vector<std::string>(groupCount));
    std::vector<std::string*> textData;
    for (auto& column : texts)
        textData.push_back(column.data());
    std::vector<std::string> errors(groupCount);
    std::vector<char> failed(groupCount, 0);

    runCancellable([&](const std::atomic<bool>& cancel) {
        request.cancel = &cancel;
        lifedata::analyseGroups(
            grouped, request, threads,
            [&](std::size_t g, const lifedata::GroupOutcome& outcome) {
                if (!outcome.failed) {
                    lifedata::writeAnalysisRow(outcome.analysis, request, numberData.data(), textData.data(), g);
                    return;
                }
                failed[g] = 1;
                errors[g] = outcome.error;
                for (double* column : numberData)
                    column[g] = std::nan("");
            },
            [](std::size_t, std::size_t) {});
    });

    py::dict columns;
    for (std::size_t k = 0; k < names.numbers.size(); ++k)
        columns[py::str(names.numbers[k])] = numbers[k];
    for (std::size_t k = 0; k < names.texts.size(); ++k) {
        py::list column(groupCount);
        for (std::size_t g = 0; g < groupCount; ++g)
            column[g] = failed[g] ? py::object(py::none()) : py::object(py::str(texts[k][g]));
        columns[py::str(names.texts[k])] = column;
    }
    py::list ordered;
    for (const std::string& name : names.order)
        ordered.append(py::make_tuple(name, columns[py::str(name)]));
    py::list errorColumn(groupCount);
    for (std::size_t g = 0; g < groupCount; ++g)
        errorColumn[g] = failed[g] ? py::object(py::str(errors[g])) : py::object(py::none());
    return py::make_tuple(ordered, errorColumn);
}

} // namespace

void defineGroupFits(py::module_& module)
{
    module.def("_fit_groups", &fitGroups, py::arg("times"), py::arg("states"), py::arg("counts"), py::arg("intervals"),
               py::arg("codes"), py::arg("group_count"), py::arg("options"), py::arg("threads"),
               "The analysis of each group of records as table columns: ([(name, column)], errors).");
}
