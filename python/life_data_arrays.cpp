// Conversion of life-data records between numpy arrays and the core's LifeData. The core's records
// hold their own vectors (it sorts and groups them), so the arrays are read once, where they lie,
// with no intermediate copy when they already are contiguous doubles.
#include "life_data_arrays.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace py = pybind11;
using lifedata::LifeData;
using lifedata::State;

namespace {

std::string recordText(std::size_t i) { return "record " + std::to_string(i + 1); }

void requireLength(const py::array& array, std::size_t n, const char* name)
{
    if (array.ndim() != 1)
        throw py::value_error(std::string(name) + " must be one-dimensional");
    if (static_cast<std::size_t>(array.size()) != n)
        throw py::value_error(std::string(name) + " has " + std::to_string(array.size()) + " entries, times has " +
                              std::to_string(n));
}

State stateOfLetter(char32_t letter, std::size_t i)
{
    switch (letter) {
    case 'F':
    case 'f':
        return State::failure;
    case 'S':
    case 's':
        return State::suspension;
    case 'I':
    case 'i':
        return State::interval;
    default:
        throw py::value_error(recordText(i) + ": a state must be F, S or I");
    }
}

// A state given as text of one letter: numpy's fixed-width text ('U' UCS-4 or 'S' bytes, padded
// with zeros) or any Python str or bytes object.
template <typename Char>
std::vector<State> statesOfFixedText(const py::array& array)
{
    const std::size_t width = array.itemsize() / sizeof(Char);
    const py::array contiguous = py::array::ensure(array, py::array::c_style);
    const Char* chars = static_cast<const Char*>(contiguous.data());
    std::vector<State> states(array.size());
    for (std::size_t i = 0; i < states.size(); ++i) {
        const Char* entry = chars + i * width;
        if (width == 0 || (width > 1 && entry[1] != 0))
            throw py::value_error(recordText(i) + ": a state must be one letter, F, S or I");
        states[i] = stateOfLetter(static_cast<char32_t>(entry[0]), i);
    }
    return states;
}

std::vector<State> statesOfObjects(const py::array& array)
{
    std::vector<State> states(array.size());
    const py::list items = array.attr("tolist")();
    for (std::size_t i = 0; i < states.size(); ++i) {
        const py::handle item = items[i];
        std::string text;
        if (py::isinstance<py::str>(item))
            text = item.cast<std::string>();
        else if (py::isinstance<py::bytes>(item))
            text = item.cast<py::bytes>();
        else
            throw py::type_error(recordText(i) + ": a state must be the text F, S or I, not " +
                                 std::string(py::str(item.get_type().attr("__name__"))));
        if (text.size() != 1)
            throw py::value_error(recordText(i) + ": a state must be one letter, F, S or I");
        states[i] = stateOfLetter(static_cast<unsigned char>(text[0]), i);
    }
    return states;
}

std::vector<State> statesOf(const py::object& given, std::size_t n)
{
    if (given.is_none())
        return std::vector<State>(n, State::failure);
    const py::array array = py::array::ensure(given);
    if (!array)
        throw py::type_error("states must be an array-like of F, S or I");
    requireLength(array, n, "states");
    switch (array.dtype().kind()) {
    case 'U':
        return statesOfFixedText<char32_t>(array);
    case 'S':
        return statesOfFixedText<char>(array);
    case 'O':
        return statesOfObjects(array);
    default:
        throw py::type_error("states must be text, F, S or I, not " + std::string(py::str(array.dtype())));
    }
}

template <typename Number>
std::uint32_t countOf(Number count, std::size_t i)
{
    if (!(count >= 1 && count <= static_cast<Number>(lifedata::maximumCount)))
        throw py::value_error(recordText(i) + ": a count outside 1 to 2147483647");
    if constexpr (std::is_floating_point_v<Number>) {
        if (count != std::floor(count))
            throw py::value_error(recordText(i) + ": a count that is not a whole number");
    }
    return static_cast<std::uint32_t>(count);
}

template <typename Number>
std::vector<std::uint32_t> countsOfNumbers(const py::array& array)
{
    const auto numbers = py::array_t<Number, py::array::c_style | py::array::forcecast>::ensure(array);
    const Number* data = numbers.data();
    std::vector<std::uint32_t> counts(numbers.size());
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = countOf(data[i], i);
    return counts;
}

std::vector<std::uint32_t> countsOf(const py::object& given, std::size_t n)
{
    if (given.is_none())
        return std::vector<std::uint32_t>(n, 1);
    const py::array array = py::array::ensure(given);
    if (!array)
        throw py::type_error("counts must be an array-like of whole numbers");
    requireLength(array, n, "counts");
    // Read in the array's own width, so that the usual integer arrays need no conversion.
    const bool narrow = array.itemsize() <= 4;
    switch (array.dtype().kind()) {
    case 'i':
        return narrow ? countsOfNumbers<std::int32_t>(array) : countsOfNumbers<std::int64_t>(array);
    case 'u':
        return narrow ? countsOfNumbers<std::uint32_t>(array) : countsOfNumbers<std::uint64_t>(array);
    case 'f':
        return countsOfNumbers<double>(array);
    default:
        throw py::type_error("counts must be whole numbers, not " + std::string(py::str(array.dtype())));
    }
}

// An interval's upper end where the state is I; elsewhere the time itself, whatever was given there
// (so that read_data's arrays go back in as they came out).
std::vector<double> upperEndsOf(const py::object& given, const std::vector<double>& values,
                                const std::vector<State>& states)
{
    std::vector<double> upper = values;
    if (given.is_none()) {
        for (std::size_t i = 0; i < states.size(); ++i) {
            if (states[i] == State::interval)
                throw py::value_error(recordText(i) + ": an interval needs its upper end in intervals");
        }
        return upper;
    }
    const DoubleArray ends = DoubleArray::ensure(given);
    if (!ends)
        throw py::type_error("intervals must be an array-like of numbers");
    requireLength(ends, values.size(), "intervals");
    const double* data = ends.data();
    for (std::size_t i = 0; i < upper.size(); ++i) {
        if (states[i] == State::interval)
            upper[i] = data[i];
    }
    return upper;
}

} // namespace

LifeData lifeDataFromArrays(const DoubleArray& times, const py::object& states, const py::object& counts,
                            const py::object& upper)
{
    if (times.ndim() != 1)
        throw py::value_error("times must be one-dimensional");
    LifeData data;
    data.values.assign(times.data(), times.data() + times.size());
    data.states = statesOf(states, data.values.size());
    data.counts = countsOf(counts, data.values.size());
    data.upper = upperEndsOf(upper, data.values, data.states);
    return data;
}

py::tuple lifeDataArrays(const LifeData& data)
{
    const std::size_t n = data.values.size();
    py::array_t<double> times(n);
    py::array_t<double> upper(n);
    py::array_t<std::uint32_t> counts(n);
    std::copy(data.values.begin(), data.values.end(), times.mutable_data());
    std::copy(data.upper.begin(), data.upper.end(), upper.mutable_data());
    std::copy(data.counts.begin(), data.counts.end(), counts.mutable_data());
    std::vector<char32_t> letters(n);
    for (std::size_t i = 0; i < n; ++i)
        letters[i] = data.states[i] == State::failure ? U'F' : data.states[i] == State::suspension ? U'S' : U'I';
    // Given a pointer and no owner, numpy copies the letters into an array of its own.
    const py::array states(py::dtype("<U1"), {n}, {sizeof(char32_t)}, letters.data());
    return py::make_tuple(times, states, counts, upper);
}
