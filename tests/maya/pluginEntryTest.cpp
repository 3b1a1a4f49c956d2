// Loading and unloading the plug-in: registration values, the MEL refresh
// command, and the entry points' indifference to failed statuses.

#include <string>

#include <gtest/gtest.h>

#include <mayaHost/commandLog.h>
#include <mayaHost/faultInjection.h>
#include <mayaHost/registry.h>

#include "pluginFixture.h"

namespace {

// The refresh command, written out from the design byte by byte.
const std::string kRefresh =
    std::string("if( `window -exists createRenderNodeWindow` )  {refreshCreateRenderNodeWindow(") + '"' +
    "shader/surface" + '"' + ");}\n";

}  // namespace

TEST(PluginEntry, LoadRegistersOneSurfaceShaderAndUnloadDeregistersIt) {
    mayaHost::clearInjectedFailures();
    mayaHost::clearRecordedCommands();
    const std::size_t typesBefore = mayaHost::registeredNodeTypes().size();
    std::unique_ptr<mayaHost::PluginLibrary> library = loadFlakeCoat();
    ASSERT_TRUE(library);
    EXPECT_EQ(library->initializeStatus(), MS::kSuccess);
    EXPECT_EQ(library->version(), "1.0");
    EXPECT_FALSE(library->vendor().empty());
    EXPECT_EQ(mayaHost::registeredNodeTypes().size(), typesBefore + 1);
    const mayaHost::NodeType* type = mayaHost::findNodeType(MTypeId(465269));
    ASSERT_TRUE(type);
    EXPECT_EQ(type->name(), "flakeCoat");
    EXPECT_EQ(type->classification(), "shader/surface");
    EXPECT_EQ(type->nodeKind(), MPxNode::kDependNode);

    std::string error;
    ASSERT_TRUE(library->unload(error)) << error;
    EXPECT_EQ(library->uninitializeStatus(), MS::kSuccess);
    EXPECT_EQ(library->vendor(), "Unknown");
    EXPECT_EQ(library->version(), "Unknown");
    EXPECT_EQ(mayaHost::findNodeType("flakeCoat"), nullptr);

    const std::vector<mayaHost::RecordedCommand> commands = mayaHost::recordedCommands();
    ASSERT_EQ(commands.size(), 2u);
    for (const mayaHost::RecordedCommand& c : commands) {
        EXPECT_EQ(c.command, kRefresh);
        EXPECT_FALSE(c.displayEnabled);
        EXPECT_FALSE(c.undoEnabled);
        EXPECT_EQ(c.result, MS::kSuccess);
    }
}

TEST(PluginEntry, FailedRegistrationStillSucceedsAndRefreshes) {
    mayaHost::clearRecordedCommands();
    mayaHost::failNthCall(mayaHost::ApiCall::registerNode, 1);
    ::testing::internal::CaptureStderr();
    std::unique_ptr<mayaHost::PluginLibrary> library = loadFlakeCoat();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    mayaHost::clearInjectedFailures();
    ASSERT_TRUE(library);
    EXPECT_EQ(library->initializeStatus(), MS::kSuccess);
    EXPECT_EQ(mayaHost::findNodeType("flakeCoat"), nullptr);
    ASSERT_EQ(mayaHost::recordedCommands().size(), 1u);
    EXPECT_EQ(mayaHost::recordedCommands()[0].command, kRefresh);

    // Unloading deregisters nothing (that fails too) and still succeeds.
    std::string error;
    ASSERT_TRUE(library->unload(error)) << error;
    EXPECT_EQ(library->uninitializeStatus(), MS::kSuccess);
    ASSERT_EQ(mayaHost::recordedCommands().size(), 2u);
    EXPECT_EQ(mayaHost::recordedCommands()[1].command, kRefresh);
}

TEST(PluginEntry, FailedRefreshCommandIsIgnored) {
    mayaHost::failNthCall(mayaHost::ApiCall::executeCommand, 1);
    std::unique_ptr<mayaHost::PluginLibrary> library = loadFlakeCoat();
    mayaHost::clearInjectedFailures();
    ASSERT_TRUE(library);
    EXPECT_EQ(library->initializeStatus(), MS::kSuccess);
    EXPECT_NE(mayaHost::findNodeType("flakeCoat"), nullptr);
}

using PluginNodes = LoadedPlugin;

TEST_F(PluginNodes, CreatedNodeIsMarkedSafeForSeveralProcessors) {
    std::string error;
    std::unique_ptr<mayaHost::Node> node = mayaHost::Node::create("flakeCoat", error);
    ASSERT_TRUE(node) << error;
    EXPECT_TRUE(node->isMPSafe());
    EXPECT_EQ(node->userNode().typeId(), MTypeId(465269));
    EXPECT_EQ(node->userNode().type(), MPxNode::kDependNode);
    EXPECT_FALSE(node->userNode().isAbstractClass());

    // The library stays while a node of its type exists.
    EXPECT_FALSE(library->unload(error));
    EXPECT_NE(error.find("still exist"), std::string::npos) << error;
}

// The entry points are found as the real host finds them: by their C++
// names first, then by their plain ones.
TEST(PluginLoading, TakesTheCxxEntryPointsFirstThenThePlainOnes) {
    for (const char* path : {FLAKECOAT_ENTRY_PROBE_BOTH_PATH, FLAKECOAT_ENTRY_PROBE_PLAIN_PATH}) {
        std::string error;
        std::unique_ptr<mayaHost::PluginLibrary> library = mayaHost::PluginLibrary::load(path, error);
        ASSERT_TRUE(library) << path << ": " << error;
        EXPECT_EQ(library->initializeStatus(), MS::kSuccess) << path;
        ASSERT_TRUE(library->unload(error)) << error;
        EXPECT_EQ(library->uninitializeStatus(), MS::kSuccess) << path;
    }
}

TEST(PluginLoading, RefusesWhatIsNotALoadablePlugin) {
    std::string error;
    EXPECT_FALSE(mayaHost::PluginLibrary::load("/nonexistent/flakeCoat.so", error));
    EXPECT_NE(error.find("cannot open /nonexistent/flakeCoat.so"), std::string::npos) << error;

    // The host's own libraries, OpenMaya with MFnPlugin among them, define
    // no MApiVersion that a plug-in could borrow.
    for (const char* hostLibrary : {FLAKECOAT_FOUNDATION_PATH, FLAKECOAT_OPENMAYA_PATH}) {
        error.clear();
        EXPECT_FALSE(mayaHost::PluginLibrary::load(hostLibrary, error));
        EXPECT_NE(error.find("exports no MApiVersion"), std::string::npos) << error;
    }

    std::unique_ptr<mayaHost::PluginLibrary> library = loadFlakeCoat();
    ASSERT_TRUE(library);
    error.clear();
    EXPECT_FALSE(mayaHost::PluginLibrary::load(FLAKECOAT_PLUGIN_PATH, error));
    EXPECT_NE(error.find("already loaded"), std::string::npos) << error;
}
