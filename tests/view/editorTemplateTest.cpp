// Reading the frames of an attribute-editor template.

#include <gtest/gtest.h>

#include "look/editorTemplate.h"

namespace fv = flakecoat::preview;

TEST(TemplateFrames, FramesKeepTheirOrderAndControls) {
    const std::string mel = R"(global proc AEpaintTemplate(string $nodeName)
{
    editorTemplate -beginScrollLayout;
    editorTemplate -beginLayout "Base Colour" -collapse 0;
        editorTemplate -addControl "color";   // the paint
        editorTemplate -addControl "diffuse";
    editorTemplate -endLayout;
    // editorTemplate -addControl "commentedOut";
    editorTemplate -beginLayout "Flakes" -collapse 1;
        editorTemplate -addControl "normalDeviation";
    editorTemplate -endLayout;
    editorTemplate -suppress "placementMatrix";
    editorTemplate -addExtraControls;
    editorTemplate -endScrollLayout;
}
)";
    std::vector<fv::TemplateFrame> frames;
    std::string error;
    ASSERT_TRUE(fv::readTemplateFrames(mel, frames, error)) << error;
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].label, "Base Colour");
    EXPECT_EQ(frames[0].attributes, (std::vector<std::string>{"color", "diffuse"}));
    EXPECT_EQ(frames[1].label, "Flakes");
    EXPECT_EQ(frames[1].attributes, (std::vector<std::string>{"normalDeviation"}));
}

TEST(TemplateFrames, MalformedTemplatesNameTheLine) {
    const struct {
        const char* mel;
        const char* message;
    } cases[] = {
        {"editorTemplate -addControl \"color\";", "line 1: -addControl \"color\" outside a frame"},
        {"editorTemplate -beginLayout \"A\";\neditorTemplate -beginLayout \"B\";", "line 2: a frame inside a frame"},
        {"editorTemplate -endLayout;", "line 1: -endLayout without a frame"},
        {"editorTemplate -beginLayout -collapse 0;", "line 1: -beginLayout without a quoted label"},
        {"editorTemplate -beginLayout \"A\";\neditorTemplate -addControl color;", "line 2: -addControl without"},
        {"editorTemplate -beginLayout \"Open\";", "the frame \"Open\" is not closed"},
    };
    for (const auto& c : cases) {
        std::vector<fv::TemplateFrame> frames;
        std::string error;
        EXPECT_FALSE(fv::readTemplateFrames(c.mel, frames, error)) << c.mel;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.mel << " -> " << error;
    }
}

TEST(TemplateFrames, TheBuiltInTemplateReads) {
    std::vector<fv::TemplateFrame> frames;
    std::string error;
    ASSERT_TRUE(fv::readTemplateFrames(std::string(fv::builtInEditorTemplate()), frames, error)) << error;
    EXPECT_GT(frames.size(), 4u);
}
