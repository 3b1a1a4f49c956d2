// `flakecoat render` run as a user runs it: bad arguments are refused with a
// message naming the option, a non-zero exit and no image left behind.

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "image/contactSheet.h"
#include "image/imageWriter.h"
#include "look/lookFile.h"

namespace fp = flakecoat::preview;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// `flakecoat SUBCOMMAND ARGUMENTS`, render unless another is named.
ToolRun runTool(const std::string& arguments, const std::string& subcommand = "render") {
    ToolRun run;
    const std::string command = std::string(FLAKECOAT_TOOL) + " " + subcommand + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Width and height from a PNG's header; (0, 0) when it is not one.
std::pair<int, int> pngSize(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) || header[1] != 'P') return {0, 0};
    const auto bigEndian = [&header](int at) {
        return int(header[at]) << 24 | int(header[at + 1]) << 16 | int(header[at + 2]) << 8 | int(header[at + 3]);
    };
    return {bigEndian(16), bigEndian(20)};
}

class RenderCommand : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("flakecoat-render-test-" + std::to_string(getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }
    bool directoryEmpty() const { return fs::directory_iterator(directory) == fs::directory_iterator(); }
    std::string out(const char* name = "ball.png") const { return "--out " + (directory / name).string(); }
    fs::path directory;
};

}  // namespace

TEST_F(RenderCommand, BadArgumentsAreRefusedBeforeRendering) {
    const std::pair<const char*, const char*> cases[] = {
        {"--host blender", "--host blender: expected maya, mentalray or both"},
        {"--size 512", "--size 512: expected WIDTHxHEIGHT"},
        {"--size 0x10", "--size 0x10"},
        {"--size 20000x10", "each from 1 to 16384"},
        {"--size 64x-3", "--size 64x-3"},
        {"--spp 0", "--spp 0: expected 1 to 4096"},
        {"--threads -2", "--threads -2"},
        {"--lights disco", "--lights disco: unknown rig; choose one of studio, softbox, sun"},
        {"--env /nonexistent/sky.exr", "--env /nonexistent/sky.exr: no such file"},
        {"--exposure 99", "--exposure"},
        {"--seed -1", "--seed -1: expected a whole number from 0 to 18446744073709551615"},
        {"--seed 18446744073709551616", "--seed 18446744073709551616: expected a whole number"},
        {"--shape cube", "--shape cube: choose one of ball, swatch"},
        {"--shape swatch --mesh m.obj", "--mesh m.obj: give either --mesh or --shape swatch, not both"},
        {"--rotate 30", "--rotate: turns a model (--mesh or --shape swatch)"},
        {"--shape swatch --rotate nan", "--rotate: expected a finite number of degrees"},
        {"--mesh /nonexistent/m.obj", "--mesh /nonexistent/m.obj: No such file or directory"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool(std::string(arguments) + " " + out());
        EXPECT_EQ(run.status, 1) << arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(message), std::string::npos) << arguments << "\n" << run.output;
    }
    EXPECT_TRUE(directoryEmpty());
}

TEST_F(RenderCommand, OutputMustBePngOrExr) {
    const ToolRun run = runTool(out("ball.jpg"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("must end in .png or .exr"), std::string::npos) << run.output;
    EXPECT_TRUE(directoryEmpty());
}

TEST_F(RenderCommand, MalformedOptionValuesAreRefused) {
    for (const char* arguments : {"--spp many", "--threads 1.5", "--set a=1 b=2"}) {
        const ToolRun run = runTool(std::string(arguments) + " " + out());
        EXPECT_NE(run.status, 0) << arguments << "\n" << run.output;
    }
    EXPECT_TRUE(directoryEmpty());
}

TEST_F(RenderCommand, SettingsAreCheckedAgainstTheShadersDeclaration) {
    const std::pair<const char*, const char*> cases[] = {
        {"--set colour=1,1,1", "mentalray has no shading input named 'colour'"},
        {"--set color=1,1", "--set color: takes 3 values, got 2"},
        {"--set seed=1.5", "--set seed: 1.5 is not a whole number"},
        {"--set useIrradiance=2", "is not a boolean"},
        {"--set light=1", "no shading input named 'light'"},
        {"--set diffuse=abc", "'abc' is not a finite number"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool("--host mentalray --size 8x8 " + std::string(arguments) + " " + out());
        EXPECT_EQ(run.status, 1) << arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(message), std::string::npos) << arguments << "\n" << run.output;
        EXPECT_EQ(run.output.find("samples/s"), std::string::npos) << "rendered anyway: " << arguments;
    }
    EXPECT_TRUE(directoryEmpty());
}

TEST_F(RenderCommand, AnUnwritableOutputFailsBeforeRenderingAndLeavesNothing) {
    const std::string missing = (directory / "missing" / "ball.png").string();
    ToolRun run = runTool("--host mentalray --size 8x8 --out " + missing);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("cannot write " + missing + ": No such file or directory"), std::string::npos)
        << run.output;
    fs::create_directory(directory / "taken.exr");
    run = runTool("--host mentalray --size 8x8 --out " + (directory / "taken.exr").string());
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("it names a directory"), std::string::npos) << run.output;
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 1);
}

TEST_F(RenderCommand, EnvironmentImagesAreReadOrRefusedByName) {
    // A 4 x 2 grey lat-long image written with the preview's own writer.
    fp::Framebuffer sky;
    sky.resize(4, 2);
    for (float& v : sky.rgba) v = 0.5f;
    const std::string good = (directory / "sky.exr").string();
    std::string error;
    ASSERT_TRUE(fp::writeImageFile(good, sky, fp::ViewTransform(), error)) << error;
    const std::string bad = (directory / "bad.exr").string();
    std::ofstream(bad) << "not an image";

    ToolRun run = runTool("--host mentalray --size 8x8 --spp 1 --env " + good + " " + out());
    EXPECT_EQ(run.status, 0) << run.output;
    run = runTool("--host mentalray --size 8x8 --env " + bad + " " + out("other.png"));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("--env cannot read EXR " + bad), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(directory / "other.png"));
}

TEST_F(RenderCommand, ARenderWritesOneFileAndReportsItsRate) {
    const std::string path = (directory / "ball.exr").string();
    const ToolRun run = runTool("--host mentalray --size 24x16 --spp 2 --threads 2 --set reflectivity=0.25 --out " + path);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 1);  // no temporary left
    EXPECT_NE(run.output.find(path + "\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("24x16 at 2 spp: 768 samples in"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("M samples/s)"), std::string::npos) << run.output;
}

TEST_F(RenderCommand, BothHostsWriteEachImageAndBothSideBySide) {
    ToolRun run = runTool("--host both --size 16x12 --spp 1 --set color=0.8,0.1,0.1 --set useIrradiance=on " + out());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(directory / "ball-maya.png"));
    EXPECT_TRUE(fs::exists(directory / "ball-mentalray.png"));
    const fp::SheetGeometry pair = fp::sheetGeometry(16, 12, 2, 1, false);
    EXPECT_EQ(pngSize(directory / "ball-both.png"), std::make_pair(pair.width, pair.height));
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 3);
    EXPECT_NE(run.output.find("note: --set useIrradiance does not apply to maya"), std::string::npos) << run.output;

    run = runTool("--host both --size 16x12 --set colour=1,1,1 " + out("other.png"));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("neither host has a shading input named 'colour'"), std::string::npos) << run.output;
    // A name both declare is checked by both: Maya's colour has three values too.
    run = runTool("--host both --size 16x12 --set color=1,1 " + out("other.png"));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_FALSE(fs::exists(directory / "other-maya.png"));
}

TEST_F(RenderCommand, MayaSettingsAreCheckedAgainstTheNodesAttributes) {
    const std::pair<const char*, const char*> cases[] = {
        {"--set refractiveIndex=1.4,0.5,1.4", "--set refractiveIndex: 0.5 is below the minimum 1"},
        {"--set refractiveIndexB=0.9", "0.9 is below the minimum 1"},
        {"--set depthRange=10", "--set depthRange: takes 2 values, got 1"},
        {"--set pointCamera=0,0,1", "maya has no shading input named 'pointCamera'"},
        {"--set placementMatrix=1,0,0,0", "takes 16 values, got 4"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = runTool("--host maya --size 8x8 " + std::string(arguments) + " " + out());
        EXPECT_EQ(run.status, 1) << arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(message), std::string::npos) << arguments << "\n" << run.output;
    }
    EXPECT_TRUE(directoryEmpty());
    const ToolRun run = runTool("--host maya --size 8x8 --spp 1 --set reflectivity=2 --set depthRangeMin=0 " + out());
    EXPECT_EQ(run.status, 0) << run.output;  // soft ranges are not limits
}

TEST_F(RenderCommand, ModelsRenderThroughBothHostsAndBadOnesAreNamedByLine) {
    const std::string model = (directory / "model.obj").string();
    std::ofstream(model) << "v 0 0 0\nv 1 0 0\nv 0 1 1\nv 0 1 -1\n"
                         << "f 1 2 3\nf 1 4 2\n";
    ToolRun run = runTool("--size 16x12 --spp 1 --mesh " + model + " --rotate 45 " + out());
    ASSERT_EQ(run.status, 0) << run.output;
    run = runTool("--size 16x12 --spp 1 --shape swatch " + out("swatch.png"));
    ASSERT_EQ(run.status, 0) << run.output;
    for (const char* name : {"ball-maya.png", "ball-mentalray.png", "ball-both.png", "swatch-maya.png",
                             "swatch-mentalray.png", "swatch-both.png"})
        EXPECT_TRUE(fs::exists(directory / name)) << name;

    std::ofstream(model) << "v 0 0 0\nv 1 0 0\nv 0 1 1\nf 1 2 3\nf 1 2 3 7\n";
    run = runTool("--size 16x12 --mesh " + model + " " + out("bad.png"));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("--mesh " + model + ":5: position index 7 is out of range"), std::string::npos)
        << run.output;
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 7);  // model and images
}

// Every shipped look, with either host, renders as the options and --set
// values it holds do: byte for byte.
TEST_F(RenderCommand, EveryShippedLookRendersAsItsOwnOptionsDo) {
    int looks = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(FLAKECOAT_LOOKS_DIR)) {
        fp::LookFile file;
        std::string error;
        ASSERT_TRUE(fp::readLookFile(entry.path().string(), file, error)) << error;
        ++looks;
        std::string stage;
        for (const auto& [key, text] : file.stage)
            if (key != "size" && key != "spp") stage += " --" + key + " '" + text + "'";
        for (const char* host : {"maya", "mentalray"}) {
            std::string sets;
            for (const auto& [named, settings] : file.looks)
                for (const fp::Setting& setting : settings)
                    if (named == host) sets += " --set " + fp::settingText(setting);
            const std::string common = std::string("--host ") + host + " --size 24x16 --spp 2 ";
            const ToolRun byLook = runTool(common + "--look " + entry.path().string() + " " + out("look.png"));
            const ToolRun byOptions = runTool(common + stage + sets + " " + out("options.png"));
            ASSERT_EQ(byLook.status, 0) << byLook.output;
            ASSERT_EQ(byOptions.status, 0) << byOptions.output;
            EXPECT_EQ(contents(directory / "look.png"), contents(directory / "options.png")) << entry.path() << host;
        }
        // By name, as shipped
        const ToolRun byName = runTool("--host maya --size 8x8 --spp 1 --look " + entry.path().stem().string() + " " +
                                       out("name.png"));
        EXPECT_EQ(byName.status, 0) << byName.output;
    }
    EXPECT_GE(looks, 5);
    const ToolRun unknown = runTool("--look chartreuse " + out());
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("--look chartreuse: no shipped look of that name (candy-red, "), std::string::npos)
        << unknown.output;
}

// A look in each host's own form: every value the look gives, read back
// from the Maya preset and the mental ray material.
TEST_F(RenderCommand, LooksAreWrittenAsAMayaPresetAndAMentalrayMaterial) {
    const ToolRun list = runTool("", "looks");  // the shipped ones
    ASSERT_EQ(list.status, 0) << list.output;
    EXPECT_NE(list.output.find("candy-red  "), std::string::npos) << list.output;
    const std::string look = (directory / "l.json").string();
    std::ofstream(look) << R"({"flakecoatLook": 1, "name": "test-look",
        "maya": {"color": [0.5, 0.25, 1], "seed": 12.5},
        "mentalray": {"useIrradiance": true, "seed": -7, "depthRangeMin": 3}})";
    const std::pair<const char*, std::vector<std::string>> forms[] = {
        {"--mel", {"startAttrPreset( \"flakeCoat\" );\n", "blendAttr \"color\" 0.5 0.25 1;\n",
                   "blendAttr \"seed\" 12.5;\n", "blendAttr \"diffuse\" 0.5;\n", "endAttrPreset();\n"}},
        {"--mi", {"shader \"test-look:paint\"\n    \"tarn_flakeCoat\" (\n", "        \"useIrradiance\" on,\n",
                  "        \"seed\" -7,\n", "        \"depthRangeMin\" 3,\n", "        \"color\" 0.209 1 0.182,\n",
                  "material \"test-look\"\n    = \"test-look:paint\"\nend material\n"}},
    };
    for (const auto& [form, lines] : forms) {
        const ToolRun run = runTool("", std::string("looks ") + form + " " + look);
        ASSERT_EQ(run.status, 0) << run.output;
        for (const std::string& line : lines) EXPECT_NE(run.output.find(line), std::string::npos) << form << line;
        const ToolRun written = runTool("", std::string("looks ") + form + " " + look + " --out " +
                                                (directory / "out.txt").string());
        EXPECT_EQ(written.status, 0) << written.output;
        EXPECT_EQ(contents(directory / "out.txt"), run.output);
    }
    const ToolRun refused = runTool("", "looks --mel " + look + " --mi " + look);
    EXPECT_NE(refused.status, 0);
}
