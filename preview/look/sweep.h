#ifndef FLAKECOAT_PREVIEW_LOOK_SWEEP_H
#define FLAKECOAT_PREVIEW_LOOK_SWEEP_H

// Shading inputs varied across a contact sheet: "NAME=FROM:TO:STEPS" names an
// input by the host's own name and spreads STEPS evenly spaced values from
// FROM to TO, both ends included. FROM and TO are one number (every
// component of a colour or vector alike) or one number per component.
// Integer and boolean inputs take the values rounded to whole numbers.
//
// One axis makes a row of cells; a second makes a grid with the first axis
// across and the second down. Every value is checked as --set checks it
// before anything renders.

#include <string>
#include <vector>

#include "look/look.h"

namespace flakecoat::preview {

constexpr int kMinSweepSteps = 2;
constexpr int kMaxSweepSteps = 16;
constexpr int kMaxSweepAxes = 2;
// The largest sheet, in pixels (4096 x 4096): its float pixels and those of
// its cells take about half a gigabyte.
constexpr long long kMaxSheetPixels = 4096LL * 4096LL;

struct SweepAxis {
    std::string name;
    int steps = 0;
    Setting from, to;  // one value, or one per component
};

// Parses "NAME=FROM:TO:STEPS"; error names the text and what is wrong.
bool parseSweepAxis(const std::string& text, SweepAxis& axis, std::string& error);

// The axis's values as settings of the look's input, in order, each checked
// as the look checks a setting.
bool sweepValues(const Look& look, const SweepAxis& axis, std::vector<Setting>& values, std::string& error);

// "0.25", or "0.2,0.5,0.5" when the components differ (4 significant digits).
std::string sweepValueLabel(const Setting& value);

struct SweepCell {
    std::vector<Setting> values;  // one per axis
    std::string label;                         // the values, "0.5" or "0.5 | 0.25"
};

// The cells in reading order: the first axis across, the second down.
std::vector<SweepCell> sweepGrid(const std::vector<std::vector<Setting>>& axes);

// Refuses what a sheet could not show: an input varied twice, or varied
// with a component of its own (colorR with color), and a fixed setting
// (--set, by name in `fixed`) of a varied input, of a part of it or of its
// compound. Names the look's host does not declare are left to the other
// checks.
bool checkSweepInputs(const Look& look, const std::vector<SweepAxis>& axes, const std::vector<std::string>& fixed,
                      std::string& error);

// The sheet's title: the axes' names in the order their values are labelled.
std::string sweepTitle(const std::vector<SweepAxis>& axes);

}  // namespace flakecoat::preview

#endif
