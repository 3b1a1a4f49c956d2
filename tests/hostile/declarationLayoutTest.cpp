// A scene's declaration of tarn_flakeCoat that the library cannot have been
// compiled for (a parameter moved, retyped, missing or added, another
// version) is refused with FILE:LINE before anything is shaded; one that
// differs only in defaults, comments, spacing and interface hints works.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "toolProcess.h"

namespace fs = std::filesystem;

namespace {

std::string shippedText() {
    std::ifstream in(fs::path(FLAKECOAT_LIBRARY_DIR) / "tarn_flakeCoat.mi");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

int lineOf(const std::string& text, const std::string& marker) {
    const std::size_t at = text.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    return 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n'));
}

// A copy of the tool beside a lib/ folder of links to the built libraries,
// so that the declaration beside them can be swapped.
fs::path privateTree(const fs::path& directory) {
    fs::create_directories(directory / "bin");
    fs::create_directories(directory / "lib");
    fs::copy_file(FLAKECOAT_TOOL, directory / "bin" / "flakecoat");
    for (const fs::directory_entry& entry : fs::directory_iterator(FLAKECOAT_LIBRARY_DIR))
        if (entry.path().extension() != ".mi")
            fs::create_symlink(entry.path(), directory / "lib" / entry.path().filename());
    return directory / "bin" / "flakecoat";
}

}  // namespace

TEST(HostileDeclaration, ALayoutTheLibraryWasNotCompiledForIsRefusedEverywhere) {
    const fs::path directory = testDirectory();
    const fs::path tool = privateTree(directory / "tree");
    const fs::path work = directory / "work";
    fs::create_directory(work);
    std::ofstream(work / "one.jsonl") << R"({"light":["k"],"lights":{"k":[{"color":[1,1,1],"direction":[0,0,1]}]}})"
                                      << "\n";
    const std::string shipped = shippedText();
    const std::string light = "array light \"light\"";
    const std::string diffuse = "scalar  \"diffuse\"          default 0.5,";
    struct Case {
        const char* what;
        std::string text;
        std::string marker;  // where the refusal points; empty: accepted
    };
    const std::string lightFirst =
        replaced(replaced(shipped, ",\n        " + light, ""), "color   \"color\" ", light + ",\n color \"color\"");
    const std::string lightAmid = replaced(replaced(shipped, ",\n        " + light, ""), diffuse, diffuse + light + ",");
    const Case cases[] = {
        {"light first", lightFirst, light},
        {"light amid", lightAmid, light},
        {"type changed", replaced(shipped, diffuse, "color \"diffuse\" default 0.5 0.5 0.5,"), "color \"diffuse\""},
        {"renamed", replaced(shipped, "integer \"seed\"", "integer \"seeds\""), "\"seeds\""},
        {"missing", replaced(shipped, "scalar  \"reflectivity\"     default 0.5,", ""), "boolean \"useIrradiance\""},
        {"missing last", replaced(shipped, ",\n        " + light, ""), "    )\n    version"},
        {"extra", replaced(shipped, light, light + ",\n scalar \"extra\" default 1"), "scalar \"extra\""},
        {"version", replaced(shipped, "version 1", "version 2"), "version 2"},
        {"no version", replaced(shipped, "version 1", ""), "end declare"},
        {"defaults and comments", replaced(replaced(shipped, "default 0.5,", "default 0.25, # mine\n"), "1234", "7"), ""},
        {"spacing, no hints", shipped.substr(0, shipped.find("gui \"")) + "\n\n", ""},
        {"hints changed", replaced(shipped, "Base Colour", "Paint"), ""},
    };
    for (const Case& c : cases) {
        std::ofstream(directory / "tree" / "lib" / "tarn_flakeCoat.mi") << c.text;
        const std::string where =
            "tarn_flakeCoat.mi:" + (c.marker.empty() ? "" : std::to_string(lineOf(c.text, c.marker)) + ": ");
        for (const char* command : {"shade --host mentalray one.jsonl", "render --host mentalray --size 4x4 --out x.png",
                                    "sweep --host mentalray --vary diffuse=0:1:2 --size 8x8 --out s.png",
                                    "view --host mentalray --port 1"}) {
            if (c.marker.empty() && std::string(command).rfind("view", 0) == 0) continue;  // it would serve
            const ToolRun run = runToolAt(tool, work, command);
            if (c.marker.empty()) {
                EXPECT_EQ(run.status, 0) << c.what << ": " << command << "\n" << run.err;
                fs::remove(work / "x.png");
                fs::remove(work / "s.png");
            } else {
                EXPECT_TRUE(run.status >= 1 && run.status <= 127) << c.what << ": " << command << " " << run.status;
                EXPECT_NE(run.err.find(where), std::string::npos) << c.what << ": " << command << "\n" << run.err;
                EXPECT_EQ(run.out, "") << c.what << ": " << command;
            }
            EXPECT_EQ(entryCount(work), 1) << c.what << ": " << command;  // one.jsonl, nothing half-written
        }
    }
    fs::remove_all(directory);
}
