// Look files: what a file may hold, refused with the file and the key when
// it holds anything else; a look written and read back is the same look;
// and a look carried from one host's inputs to another's.

#include <gtest/gtest.h>

#include "look/lookFile.h"
#include "madeInputs.h"

namespace fp = flakecoat::preview;

namespace {

using fp::testing::madeInput;

fp::ShadingInput component(const char* name, const char* parent, int index) {
    fp::ShadingInput made = madeInput(name, 1);
    made.parent = parent;
    made.component = index;
    return made;
}

// Shaped like the two hosts: Maya's compounds with named components, mental
// ray's scalars by those names.
const std::vector<fp::ShadingInput>& mayaInputs() {
    static const std::vector<fp::ShadingInput> kInputs = [] {
        fp::ShadingInput color = madeInput("color", 3);
        color.children = {"colorR", "colorG", "colorB"};
        fp::ShadingInput depth = madeInput("depthRange", 2);
        depth.children = {"depthRangeMin", "depthRangeMax"};
        fp::ShadingInput index = madeInput("refractiveIndex", 3, fp::ValueKind::Float, 1.4);
        index.hasHardMin = true;
        index.hardMin[0] = index.hardMin[1] = index.hardMin[2] = 1.0;
        return std::vector<fp::ShadingInput>{color, component("colorR", "color", 0), component("colorG", "color", 1),
                                             component("colorB", "color", 2), depth,
                                             component("depthRangeMin", "depthRange", 0),
                                             component("depthRangeMax", "depthRange", 1), index,
                                             madeInput("seed", 1), madeInput("transparency", 3)};
    }();
    return kInputs;
}

const std::vector<fp::ShadingInput>& mentalrayInputs() {
    static const std::vector<fp::ShadingInput> kInputs = {
        madeInput("color", 3), madeInput("depthRangeMin", 1), madeInput("depthRangeMax", 1),
        madeInput("refractiveIndex", 3, fp::ValueKind::Float, 1.4), madeInput("seed", 1, fp::ValueKind::Integer, 7),
        madeInput("useIrradiance", 1, fp::ValueKind::Boolean, 0)};
    return kInputs;
}

std::vector<fp::Look> looks() { return {fp::Look(mayaInputs(), "maya"), fp::Look(mentalrayInputs(), "mentalray")}; }

// "" when the text reads and applies, else the message.
std::string readError(const std::string& text) {
    fp::LookFile file;
    std::vector<fp::Look> both = looks();
    fp::Stage stage;
    std::string error;
    if (!fp::parseLookFile(text, "dir/l.json", file, error) || !fp::applyLookStage(file, stage, error) ||
        !fp::applyLookSettings(file, both, error))
        return error;
    return "";
}

}  // namespace

TEST(LookFile, RefusesWhatALookFileDoesNotHoldByFileAndKey) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"flakecoatLook": 1})", ""},
        {R"({"flakecoatLook": 1, "maya": {"color": [1, 0, 0]}, "mentalray": {"useIrradiance": true}})", ""},
        {"", "dir/l.json: not JSON: "},
        {"[1]", "dir/l.json: not a look file: no \"flakecoatLook\" version"},
        {R"({"flakecoatLook": 2})", "dir/l.json: key \"flakecoatLook\": 2 is not a version this flakecoat reads (1)"},
        {R"({"flakecoatLook": "1"})", "key \"flakecoatLook\": \"1\" is not a version"},
        {R"({"flakecoatLook": 1, "colour": 1})", "key \"colour\": not a key of a look file"},
        {R"({"flakecoatLook": 1, "name": 3})", "key \"name\": expected a string"},
        {R"({"flakecoatLook": 1, "host": "renderman"})", "key \"host\": expected maya or mentalray"},
        {R"({"flakecoatLook": 1, "maya": [1]})", "key \"maya\": expected an object of the host's input values"},
        {R"({"flakecoatLook": 1, "maya": {"color": "red"}})",
         "key \"maya.color\": expected a number, true or false, or an array of them"},
        {R"({"flakecoatLook": 1, "maya": {"color": [1, [0], 0]}})", "key \"maya.color\": expected a number"},
        {R"({"flakecoatLook": 1, "maya": {"color": []}})", "key \"maya.color\": expected a number"},
        {R"({"flakecoatLook": 1, "maya": {"colour": 1}})", "key \"maya.colour\": maya has no shading input named"},
        {R"({"flakecoatLook": 1, "maya": {"color": [1, 0]}})", "key \"maya.color\": takes 3 values, got 2"},
        {R"({"flakecoatLook": 1, "maya": {"refractiveIndex": [1, 0.5, 1]}})",
         "key \"maya.refractiveIndex\": 0.5 is below the minimum 1"},
        {R"({"flakecoatLook": 1, "mentalray": {"seed": 1.5}})", "key \"mentalray.seed\": 1.5 is not a whole number"},
        {R"({"flakecoatLook": 1, "maya": {"color": [1, 0, 0], "colorR": 0.5}})",
         "key \"maya.colorR\": sets what \"color\" sets; give one or the other"},
        {R"({"flakecoatLook": 1, "stage": {"lights": "disco"}})",
         "key \"stage.lights\": disco: unknown rig; choose one of"},
        {R"({"flakecoatLook": 1, "stage": {"size": "big"}})", "key \"stage.size\": expected WIDTHxHEIGHT"},
        {R"({"flakecoatLook": 1, "stage": {"spp": "4"}})", "key \"stage.spp\": expected a number"},
        {R"({"flakecoatLook": 1, "stage": {"spp": 0.5}})", "key \"stage.spp\": expected 1 to 4096"},
        {R"({"flakecoatLook": 1, "stage": {"max-pixels": 1}})",
         "key \"stage.max-pixels\": not an option of the stage a look file gives"},
        {R"({"flakecoatLook": 1, "stage": {"env": "sky.exr"}})", "key \"stage.env\": dir/sky.exr: no such file"},
        {R"({"flakecoatLook": 1, "stage": {"orbit": -30, "elevation": 45, "zoom": 2, "fov": 40, "frame": "fill",
             "shot": "closeup"}})", ""},
        {R"({"flakecoatLook": 1, "stage": {"elevation": 100}})", "key \"stage.elevation\": expected -90 to 90"},
        {R"({"flakecoatLook": 1, "stage": {"shape": "swatch", "mesh": "m.obj"}})",
         "key \"stage.mesh\": dir/m.obj: give either --mesh or --shape swatch, not both"},
    };
    for (const auto& [text, message] : cases) {
        const std::string error = readError(text);
        if (std::string(message).empty()) {
            EXPECT_EQ(error, "") << text;
        } else {
            EXPECT_NE(error.find(message), std::string::npos) << text << "\n" << error;
        }
    }
}

TEST(LookFile, ALookWrittenAndReadBackIsTheSameLook) {
    std::vector<fp::Look> written = looks();
    std::string error;
    for (const char* text : {"colorG=0.25", "depthRange=30,8", "seed=1.5", "transparency=0.1,0.2,0.3"})
        ASSERT_TRUE(written[0].set(text, error)) << error;
    ASSERT_TRUE(written[1].set("useIrradiance=on", error) && written[1].set("seed=-2147483648", error)) << error;
    fp::Stage stage;
    stage.width = 40;
    stage.height = 30;
    stage.samplesPerPixel = 64;
    stage.lights = "sun";
    stage.exposure = 1.5f;
    stage.seed = 18446744073709551615u;
    stage.object.shape = "swatch";
    stage.object.rotateDegrees = -30.0f;
    // The camera's parts at their defaults are left out, so such a look
    // reads as it did before the camera had parts.
    const std::string plain = fp::lookFileText({}, written, &stage);
    for (const char* key : {"orbit", "elevation", "zoom", "fov", "frame", "shot"})
        EXPECT_EQ(plain.find(std::string("\"") + key + "\""), std::string::npos) << plain;
    stage.camera.orbit = 212.5f;
    stage.camera.elevation = -12.25f;
    stage.camera.zoom = 0.3f;
    stage.camera.fov = 50.0f;
    stage.camera.frame = "sphere";
    stage.camera.shot = "closeup";
    const std::string text = fp::lookFileText({"name", "a \"quoted\" description", "maya"}, written, &stage);
    // Each value once, by its compound; defaults left out.
    EXPECT_NE(text.find("\"color\": [0.5, 0.25, 0.5]"), std::string::npos) << text;
    EXPECT_EQ(text.find("colorG"), std::string::npos) << text;
    EXPECT_EQ(text.find("refractiveIndex"), std::string::npos) << text;
    EXPECT_NE(text.find("\"useIrradiance\": true"), std::string::npos) << text;

    fp::LookFile file;
    std::vector<fp::Look> read = looks();
    fp::Stage readStage;
    ASSERT_TRUE(fp::parseLookFile(text, "l.json", file, error) && fp::applyLookStage(file, readStage, error) &&
                fp::applyLookSettings(file, read, error))
        << error << "\n" << text;
    EXPECT_EQ(file.info.description, "a \"quoted\" description");
    EXPECT_EQ(file.info.host, "maya");
    for (size_t h = 0; h < 2; ++h)
        for (const fp::ShadingInput& input : read[h].inputs())
            EXPECT_EQ(read[h].effective(input.name), written[h].effective(input.name)) << input.name;
    EXPECT_EQ(readStage.arguments(), stage.arguments());
    EXPECT_EQ(readStage.camera.zoom, 0.3f);
    EXPECT_EQ(readStage.camera.shot, "closeup");
    EXPECT_EQ(fp::lookFileText(file.info, read, &readStage), text);
}

TEST(LookFile, ALookCarriesThroughTheInputsBothHostsDeclare) {
    std::vector<fp::Look> both = looks();
    fp::Look& maya = both[0];
    fp::Look& mentalray = both[1];
    std::string error;
    for (const char* text : {"colorR=0.9", "depthRange=30,8", "seed=2.5", "transparency=1,1,1"})
        ASSERT_TRUE(maya.set(text, error)) << error;
    ASSERT_TRUE(mentalray.set("useIrradiance=1", error) && mentalray.set("seed=3", error)) << error;
    mentalray.carryFrom(maya);
    EXPECT_EQ(mentalray.effective("color"), (std::vector<double>{0.9, 0.5, 0.5}));
    EXPECT_EQ(mentalray.effective("depthRangeMin"), std::vector<double>{30});
    EXPECT_EQ(mentalray.effective("depthRangeMax"), std::vector<double>{8});
    EXPECT_EQ(mentalray.effective("seed"), std::vector<double>{3});  // 2.5 is no integer: its own kept
    EXPECT_EQ(mentalray.effective("useIrradiance"), std::vector<double>{1});  // Maya has none

    ASSERT_TRUE(mentalray.set("depthRangeMax=12", error) && mentalray.set("refractiveIndex=1.2,1.3,1.4", error));
    maya.carryFrom(mentalray);
    EXPECT_EQ(maya.effective("depthRange"), (std::vector<double>{30, 12}));  // from its two components
    EXPECT_EQ(maya.effective("refractiveIndex"), (std::vector<double>{1.2, 1.3, 1.4}));
    EXPECT_EQ(maya.effective("seed"), std::vector<double>{3});
    EXPECT_EQ(maya.effective("transparency"), (std::vector<double>{1, 1, 1}));  // mental ray has none
    // One setting per input carried, none left for a value back at its default.
    ASSERT_TRUE(mentalray.set("color=0.5,0.5,0.5", error));
    maya.carryFrom(mentalray);
    for (const fp::Setting& setting : maya.settings()) EXPECT_NE(setting.name.rfind("color", 0), 0u) << setting.name;
}
