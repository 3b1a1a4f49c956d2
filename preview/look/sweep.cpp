#include "look/sweep.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "inputEcho.h"

namespace flakecoat::preview {

namespace {

bool parseEnd(const std::string& name, const std::string& word, const std::string& text, Setting& end,
              std::string& error) {
    if (!parseSetting(name + "=" + word, end, error)) {
        error = "--vary " + echoInput(text) + ": '" + echoInput(word) + "' is not a number or a list of numbers";
        return false;
    }
    return true;
}

// Whole numbers as they are (seeds 16777217 and 16777219 differ), others
// to 4 significant digits.
std::string formatValue(double v) {
    char text[32];
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        std::snprintf(text, sizeof text, "%.0f", v == 0.0 ? 0.0 : v);  // no "-0"
    else
        std::snprintf(text, sizeof text, "%.4g", v);
    return text;
}

}  // namespace

bool parseSweepAxis(const std::string& text, SweepAxis& axis, std::string& error) {
    axis = SweepAxis();
    const std::string::size_type equals = text.find('=');
    const std::string::size_type first = text.find(':', equals == std::string::npos ? 0 : equals);
    const std::string::size_type second = first == std::string::npos ? first : text.find(':', first + 1);
    if (equals == std::string::npos || equals == 0 || second == std::string::npos ||
        text.find(':', second + 1) != std::string::npos) {
        error = "--vary " + echoInput(text) + ": expected NAME=FROM:TO:STEPS";
        return false;
    }
    axis.name = text.substr(0, equals);
    if (!parseEnd(axis.name, text.substr(equals + 1, first - equals - 1), text, axis.from, error) ||
        !parseEnd(axis.name, text.substr(first + 1, second - first - 1), text, axis.to, error))
        return false;
    if (axis.from.count != axis.to.count) {
        error = "--vary " + echoInput(text) + ": FROM has " + std::to_string(axis.from.count) + " values, TO " +
                std::to_string(axis.to.count);
        return false;
    }
    const std::string steps = text.substr(second + 1);
    const bool digits = !steps.empty() && steps.size() <= 4 && steps.find_first_not_of("0123456789") == std::string::npos;
    axis.steps = digits ? std::atoi(steps.c_str()) : 0;
    if (axis.steps < kMinSweepSteps || axis.steps > kMaxSweepSteps) {
        error = "--vary " + echoInput(text) + ": STEPS must be a whole number from " + std::to_string(kMinSweepSteps) +
                " to " + std::to_string(kMaxSweepSteps);
        return false;
    }
    return true;
}

bool sweepValues(const Look& look, const SweepAxis& axis, std::vector<Setting>& values, std::string& error) {
    values.clear();
    const ShadingInput* input = findInput(look.inputs(), axis.name);
    // An unknown name is reported by the check below.
    const int arity = input ? input->arity : axis.from.count;
    if (axis.from.count != 1 && axis.from.count != arity) {
        error = "--vary " + echoInput(axis.name) + ": takes 1 or " + std::to_string(arity) + " values at each end, got " +
                std::to_string(axis.from.count);
        return false;
    }
    for (int step = 0; step < axis.steps; ++step) {
        const double t = double(step) / double(axis.steps - 1);
        Setting value;
        value.name = axis.name;
        value.count = arity;
        for (int c = 0; c < arity; ++c) {
            const int k = axis.from.count == 1 ? 0 : c;
            // The last step lands exactly on TO.
            double v = step == axis.steps - 1 ? axis.to.values[k]
                                              : axis.from.values[k] + (axis.to.values[k] - axis.from.values[k]) * t;
            // What the host gets: whole numbers, or the float's shortest text
            if (input) v = input->kind != ValueKind::Float ? std::round(v) : shortestFloat(v);
            value.values[c] = v;
        }
        if (!look.check(value, error)) {
            if (error.compare(0, 6, "--set ") == 0) error = "--vary " + error.substr(6);
            return false;
        }
        values.push_back(value);
    }
    return true;
}

std::string sweepValueLabel(const Setting& value) {
    bool alike = true;
    for (int c = 1; c < value.count; ++c) alike = alike && value.values[c] == value.values[0];
    std::string label = formatValue(value.count > 0 ? value.values[0] : 0.0);
    for (int c = 1; !alike && c < value.count; ++c) label += "," + formatValue(value.values[c]);
    return label;
}

std::vector<SweepCell> sweepGrid(const std::vector<std::vector<Setting>>& axes) {
    std::vector<SweepCell> cells;
    if (axes.empty()) return cells;
    const size_t columns = axes[0].size();
    const size_t rows = axes.size() > 1 ? axes[1].size() : 1;
    for (size_t row = 0; row < rows; ++row)
        for (size_t column = 0; column < columns; ++column) {
            SweepCell cell;
            cell.values.push_back(axes[0][column]);
            cell.label = sweepValueLabel(axes[0][column]);
            if (axes.size() > 1) {
                cell.values.push_back(axes[1][row]);
                cell.label += " | " + sweepValueLabel(axes[1][row]);
            }
            cells.push_back(cell);
        }
    return cells;
}

bool checkSweepInputs(const Look& look, const std::vector<SweepAxis>& axes, const std::vector<std::string>& fixed,
                      std::string& error) {
    const auto input = [&look](const std::string& name) { return findInput(look.inputs(), name); };
    for (size_t a = 0; a < axes.size(); ++a) {
        const ShadingInput* varied = input(axes[a].name);
        for (size_t b = a + 1; b < axes.size(); ++b) {
            if (axes[b].name == axes[a].name) {
                error = "--vary " + axes[a].name + " is given twice";
                return false;
            }
            const ShadingInput* other = input(axes[b].name);
            if (varied && other && overlaps(*varied, *other)) {
                error = "--vary " + axes[b].name + " and --vary " + axes[a].name +
                        ": one is a component of the other, so a sheet cannot show both";
                return false;
            }
        }
        for (const std::string& name : fixed) {
            const ShadingInput* set = input(name);
            if (name == axes[a].name || (varied && set && overlaps(*varied, *set))) {
                error = "--set " + name + ": the input is varied by --vary" +
                        (name == axes[a].name ? "" : " " + axes[a].name + ", of which it is a part or the whole");
                return false;
            }
        }
    }
    return true;
}

std::string sweepTitle(const std::vector<SweepAxis>& axes) {
    std::string title;
    for (const SweepAxis& axis : axes) title += (title.empty() ? "" : " | ") + axis.name;
    return title;
}

}  // namespace flakecoat::preview
