// Mode labels from Python, held to the data file's rules: the names in order of first appearance,
// a suspension without a mode, and a label that could not be written in a data file refused.
#include "mode_labels.h"

#include <unordered_map>
#include <vector>

namespace py = pybind11;

namespace {

std::string recordText(std::size_t i) { return "record " + std::to_string(i + 1) + ": "; }

// A label as the reader would take it: a letter, then printable ASCII, and not a state letter.
bool writableLabel(const std::string& label)
{
    if (label.empty() || !(((label[0] | 0x20) >= 'a') && ((label[0] | 0x20) <= 'z')))
        return false;
    for (char c : label) {
        if (c < '!' || c > '~' || c == ',')
            return false;
    }
    const char state = static_cast<char>(label[0] | 0x20);
    return !(label.size() == 1 && (state == 'f' || state == 's' || state == 'i'));
}

} // namespace

void setModeLabels(lifedata::LifeData& data, const py::object& labels)
{
    if (labels.is_none())
        return;
    if (py::isinstance<py::str>(labels))
        throw py::type_error("modes must be one label per record, not one str");
    std::vector<std::string> names;
    std::unordered_map<std::string, std::uint32_t> indexes;
    std::vector<std::uint32_t> modes;
    for (const py::handle item : labels) {
        const std::size_t i = modes.size();
        std::string label;
        if (!item.is_none()) {
            if (!py::isinstance<py::str>(item))
                throw py::type_error(recordText(i) + "a mode label must be a str or None");
            label = item.cast<std::string>();
        }
        if (i < data.states.size() && data.states[i] == lifedata::State::suspension) {
            if (!label.empty())
                throw lifedata::DataError(recordText(i) + "a suspension has no failure mode");
            modes.push_back(lifedata::noMode);
            continue;
        }
        if (label.empty())
            label = lifedata::unlabelledMode;
        else if (!writableLabel(label))
            throw lifedata::DataError(recordText(i) + "a mode label must start with a letter, be printable ASCII "
                                                      "without blanks or commas, and not be F, S or I");
        const auto [found, added] = indexes.try_emplace(label, static_cast<std::uint32_t>(names.size()));
        if (added)
            names.push_back(label);
        modes.push_back(found->second);
    }
    if (modes.size() != data.values.size())
        throw lifedata::DataError("modes: " + std::to_string(modes.size()) + " labels for " +
                                  std::to_string(data.values.size()) + " records");
    data.modes = std::move(modes);
    data.modeNames = std::move(names);
}

lifedata::ModesChoice modesChoice(const std::string& word)
{
    if (word.empty())
        return lifedata::ModesChoice::none;
    if (word == "2p")
        return lifedata::ModesChoice::twoParameter;
    if (word == "3p")
        return lifedata::ModesChoice::threeParameter;
    throw py::value_error("modes_model must be '2p' or '3p', not '" + word + "'");
}
