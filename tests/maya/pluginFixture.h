#ifndef FLAKECOAT_TESTS_MAYA_PLUGIN_FIXTURE_H
#define FLAKECOAT_TESTS_MAYA_PLUGIN_FIXTURE_H

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <mayaHost/faultInjection.h>
#include <mayaHost/node.h>
#include <mayaHost/pluginLibrary.h>

// Loads flakeCoat.so as the host does; fails the test when it cannot.
inline std::unique_ptr<mayaHost::PluginLibrary> loadFlakeCoat() {
    std::string error;
    std::unique_ptr<mayaHost::PluginLibrary> library = mayaHost::PluginLibrary::load(FLAKECOAT_PLUGIN_PATH, error);
    EXPECT_TRUE(library) << error;
    return library;
}

// The plug-in loaded for the whole test, with no failure injected.
class LoadedPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        mayaHost::clearInjectedFailures();
        library = loadFlakeCoat();
        ASSERT_TRUE(library);
        type = mayaHost::findNodeType("flakeCoat");
        ASSERT_TRUE(type);
    }
    void TearDown() override {
        mayaHost::clearInjectedFailures();
        std::string error;
        if (library) {
            EXPECT_TRUE(library->unload(error)) << error;
        }
    }
    std::unique_ptr<mayaHost::PluginLibrary> library;
    const mayaHost::NodeType* type = nullptr;
};

#endif
