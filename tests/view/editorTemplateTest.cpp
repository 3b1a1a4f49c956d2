// Reading the frames of an attribute-editor template.

#include <gtest/gtest.h>

#include "look/editorTemplate.h"

namespace fv = flakecoat::preview;

TEST(TemplateFrames, FramesKeepTheirOrderAndControls) {
    const std::string mel = R"(global proc AEpaintTemplate(string $nodeName)
{
    editorTemplate -beginScrollLayout;
    editorTemplate -beginLayout "Base Colour" -collapse 0;
        editorTemplate -addControl "color" -label "Base Colour"   // the paint
            -annotation "The paint's \"own\" colour; tints the diffuse light";
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
    ASSERT_EQ(frames[0].controls.size(), 2u);
    EXPECT_EQ(frames[0].controls[0].attribute, "color");
    EXPECT_EQ(frames[0].controls[0].label, "Base Colour");
    EXPECT_EQ(frames[0].controls[0].annotation, "The paint's \"own\" colour; tints the diffuse light");
    EXPECT_EQ(frames[0].controls[1].attribute, "diffuse");
    EXPECT_EQ(frames[0].controls[1].label, "");
    EXPECT_EQ(frames[1].label, "Flakes");
    ASSERT_EQ(frames[1].controls.size(), 1u);
    EXPECT_EQ(frames[1].controls[0].attribute, "normalDeviation");
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
        {"editorTemplate -beginLayout \"A\";\neditorTemplate -addControl \"c\" -label;", "line 2: -label without"},
        {"editorTemplate -beginLayout \"A;", "line 1: a quote is not closed"},
    };
    for (const auto& c : cases) {
        std::vector<fv::TemplateFrame> frames;
        std::string error;
        EXPECT_FALSE(fv::readTemplateFrames(c.mel, frames, error)) << c.mel;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.mel << " -> " << error;
    }
}

// Every control the node's own template shows is labelled and annotated.
TEST(TemplateFrames, TheBuiltInTemplateLabelsEveryControl) {
    std::vector<fv::TemplateFrame> frames;
    std::string error;
    ASSERT_TRUE(fv::readTemplateFrames(std::string(fv::builtInEditorTemplate()), frames, error)) << error;
    EXPECT_GT(frames.size(), 4u);
    for (const fv::TemplateFrame& frame : frames)
        for (const fv::TemplateControl& control : frame.controls) {
            EXPECT_FALSE(control.label.empty()) << control.attribute;
            EXPECT_FALSE(control.annotation.empty()) << control.attribute;
        }
}
