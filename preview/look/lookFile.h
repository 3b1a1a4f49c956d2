#ifndef FLAKECOAT_PREVIEW_LOOK_LOOK_FILE_H
#define FLAKECOAT_PREVIEW_LOOK_LOOK_FILE_H

// A look file: a versioned JSON document holding a look of each host and
// the stage they are seen on, written to be read and diffed:
//
//   {
//     "flakecoatLook": 1,
//     "name": "candy-red",
//     "description": "Deep red candy over bright flakes",
//     "host": "maya",
//     "stage": {"size": "512x512", "spp": 64, "lights": "studio", "exposure": 0},
//     "maya": {"color": [0.6, 0.02, 0.03], "normalDeviation": 2.5},
//     "mentalray": {"color": [0.6, 0.02, 0.03], "useIrradiance": true}
//   }
//
// Only "flakecoatLook" (the version) is required. "host" names the host the
// look was made on (the viewer's); "stage" takes the stage's options by
// their command-line names (bounds excepted: they are the command's), with
// model and environment paths relative to the file's folder. A host's
// values are by its own input names: a number, true/false, or an array of
// them, one per component. Unknown keys and values the host would refuse
// are refused with the file and the key.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "look/look.h"
#include "look/stage.h"

namespace flakecoat::preview {

constexpr int kLookFileVersion = 1;
constexpr std::size_t kMaxLookFileBytes = std::size_t(1) << 20;

struct LookInfo {
    std::string name;
    std::string description;
    std::string host;  // empty: none
};

struct LookFile {
    std::string path;  // as messages name it
    LookInfo info;
    std::vector<std::pair<std::string, std::string>> stage;           // key, text, in the file's order
    std::vector<std::pair<std::string, std::vector<Setting>>> looks;  // host, its settings in the file's order
};

bool readLookFile(const std::string& path, LookFile& file, std::string& error);
// The same from the file's text; path names it in messages and places its
// relative paths.
bool parseLookFile(const std::string& text, const std::string& path, LookFile& file, std::string& error);

// The file's stage over `stage`, checked as a whole.
bool applyLookStage(const LookFile& file, Stage& stage, std::string& error);
// The file's settings on the look of each host it names, in its order; a
// host with no look here is not checked. Two settings of one input (a
// compound and its own component) are refused: the file would depend on
// the order of its keys.
bool applyLookSettings(const LookFile& file, std::vector<Look>& looks, std::string& error);

// A file of these looks, each input whose value differs from its default
// written once (by its compound), and of the stage (null: none) but its
// bounds.
std::string lookFileText(const LookInfo& info, const std::vector<Look>& looks, const Stage* stage);

}  // namespace flakecoat::preview

#endif
