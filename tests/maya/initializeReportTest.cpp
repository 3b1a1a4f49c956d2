// The attribute-initialise sequence call by call: the setters and status
// arguments of every step, and the check-and-report step under injected
// failures of each single call.

#include <sstream>
#include <stdexcept>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <mayaHost/faultInjection.h>
#include <mayaHost/registry.h>

#include "expectedAttributes.h"
#include "pluginFixture.h"

using mayaHost::ApiCall;
using mayaHost::RecordedCall;

namespace {

ApiCall setterCall(const std::string& name) {
    static const std::map<std::string, ApiCall> calls = {
        {"keyable", ApiCall::setKeyable},       {"storable", ApiCall::setStorable},
        {"readable", ApiCall::setReadable},     {"writable", ApiCall::setWritable},
        {"hidden", ApiCall::setHidden},         {"usedAsColor", ApiCall::setUsedAsColor},
        {"array", ApiCall::setArray},           {"default", ApiCall::numericSetDefault},
        {"lightDefault", ApiCall::lightDataSetDefault}, {"setMin", ApiCall::setMin},
        {"softMin", ApiCall::setSoftMin},       {"softMax", ApiCall::setSoftMax}};
    return calls.at(name);
}

ApiCall createCall(const std::string& kind) {
    if (kind == "address") return ApiCall::numericCreateAddr;
    if (kind == "floatMatrix") return ApiCall::matrixCreate;
    if (kind == "lightData[]") return ApiCall::lightDataCreate;
    return ApiCall::numericCreate;
}

bool isCreate(ApiCall call) {
    return call == ApiCall::numericCreate || call == ApiCall::numericCreateAddr || call == ApiCall::matrixCreate ||
           call == ApiCall::lightDataCreate;
}

const ExpectedAttribute& expectedFor(const std::string& longName) {
    for (const ExpectedAttribute& e : expectedAttributes())
        if (longName == e.longName) return e;
    throw std::runtime_error("no attribute " + longName);
}

struct Report {
    std::string path;
    int line;
    std::string statusText;
};

// Splits standard error into check-and-report messages; anything else in
// the text makes the parse fail.
bool parseReports(const std::string& text, std::vector<Report>& reports) {
    static const std::regex one("\nAPI error detected in ([^\n]*) at line ([0-9]+)\n([^\n]*)\n");
    std::string rest = text;
    std::smatch match;
    while (!rest.empty()) {
        if (!std::regex_search(rest, match, one) || match.position(0) != 0) return false;
        reports.push_back({match[1], std::stoi(match[2]), match[3]});
        rest = match.suffix();
    }
    return true;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<RecordedCall> recordLoad() {
    mayaHost::clearInjectedFailures();
    mayaHost::startRecordingCalls();
    std::unique_ptr<mayaHost::PluginLibrary> library = loadFlakeCoat();
    std::vector<RecordedCall> calls = mayaHost::stopRecordingCalls();
    std::string error;
    if (library) library->unload(error);
    return calls;
}

// Loads with the injection set up, returning standard error; the library
// is unloaded again after `inspect` has looked at the registry.
template <typename Inspect>
std::string loadCapturingErrors(Inspect inspect) {
    ::testing::internal::CaptureStderr();
    std::unique_ptr<mayaHost::PluginLibrary> library = loadFlakeCoat();
    const std::string captured = ::testing::internal::GetCapturedStderr();
    mayaHost::clearInjectedFailures();
    if (library) {
        EXPECT_EQ(library->initializeStatus(), MS::kSuccess);
        const mayaHost::NodeType* type = mayaHost::findNodeType("flakeCoat");
        EXPECT_TRUE(type);
        if (type) inspect(*type);
        std::string error;
        library->unload(error);
    }
    return captured;
}

}  // namespace

TEST(InitializeSequence, CallsEachStepsSettersInOrderWithStatusArgumentsOnlyWhereCreationIsReported) {
    const std::vector<RecordedCall> calls = recordLoad();
    std::vector<std::string> expected, actual;
    for (const ExpectedAttribute& e : expectedAttributes()) {
        expected.push_back(std::string(mayaHost::apiCallName(createCall(e.kind))) + " " + e.longName +
                           (e.reported == Reported::all ? " with status" : ""));
        std::istringstream setters(e.setters);
        for (std::string setter; setters >> setter;)
            expected.push_back(std::string(mayaHost::apiCallName(setterCall(setter))) + " " + e.longName);
    }
    for (const char* name : expectedAddOrder()) expected.push_back(std::string("MPxNode::addAttribute ") + name);
    for (const auto& pair : expectedAffects())
        expected.push_back("MPxNode::attributeAffects " + pair.first + " " + pair.second);
    expected.push_back("MFnPlugin::registerNode flakeCoat");
    expected.push_back("MGlobal::executeCommand");

    for (const RecordedCall& c : calls) {
        std::string text = std::string(mayaHost::apiCallName(c.call)) + (c.attribute.empty() ? "" : " ") + c.attribute;
        if (!c.attribute2.empty()) text += " " + c.attribute2;
        if (c.statusArgument) text += " with status";
        actual.push_back(text);
        EXPECT_EQ(c.result, MS::kSuccess) << text;
    }
    EXPECT_EQ(actual, expected);
}

TEST(InitializeSequence, WritesNothingWhenEveryCallSucceeds) {
    EXPECT_EQ(loadCapturingErrors([](const mayaHost::NodeType&) {}), "");
}

// Each setter, addAttribute and attributeAffects made to fail by itself:
// a reported step prints exactly one report naming its own row's line, a
// silent one prints nothing, and everything else is still created.
TEST(InitializeSequence, EachSingleFailureIsReportedExactlyWhereTheDesignSays) {
    const std::vector<RecordedCall> calls = recordLoad();
    std::map<ApiCall, unsigned> seen;
    std::map<std::string, int> lineOf;  // the line each attribute's reports name
    int reportedCount = 0;
    for (const RecordedCall& call : calls) {
        const unsigned n = ++seen[call.call];
        if (isCreate(call.call) || call.call == ApiCall::registerNode || call.call == ApiCall::executeCommand)
            continue;
        const std::string what = std::string(mayaHost::apiCallName(call.call)) + " #" + std::to_string(n) + " on " +
                                 call.attribute;
        SCOPED_TRACE(what);
        const bool isSetter = call.call != ApiCall::addAttribute && call.call != ApiCall::attributeAffects;
        const ExpectedAttribute* step = isSetter ? &expectedFor(call.attribute) : nullptr;

        mayaHost::failNthCall(call.call, n);
        std::size_t created = 0, added = 0, affects = 0;
        const std::string errors = loadCapturingErrors([&](const mayaHost::NodeType& type) {
            created = type.createdAttributes().size();
            added = type.addedAttributes().size();
            affects = type.affects().size();
        });
        EXPECT_EQ(created, 81u);
        if (!isSetter) {
            EXPECT_EQ(errors, "");
            continue;
        }
        EXPECT_EQ(added, 33u);
        EXPECT_EQ(affects, 73u);
        if (step->reported == Reported::none) {
            EXPECT_EQ(errors, "");
            continue;
        }
        std::vector<Report> reports;
        ASSERT_TRUE(parseReports(errors, reports)) << errors;
        ASSERT_EQ(reports.size(), 1u) << errors;
        EXPECT_TRUE(endsWith(reports[0].path, "plugSource/flakeCoatPlugInt.h")) << reports[0].path;
        EXPECT_EQ(reports[0].line, lineOf.emplace(call.attribute, reports[0].line).first->second);
        EXPECT_EQ(reports[0].statusText, "Failure");
        ++reportedCount;
    }
    // 5 attributes x 3 setters, 13 light children x 5, blind data 4, array 4.
    EXPECT_EQ(reportedCount, 15 + 65 + 4 + 4);
    // Each attribute's own step: one line per attribute, in the order the
    // steps are written.
    int previous = 0;
    for (const ExpectedAttribute& e : expectedAttributes()) {
        if (!lineOf.count(e.longName)) continue;
        EXPECT_GT(lineOf[e.longName], previous) << e.longName;
        previous = lineOf[e.longName];
    }
}

TEST(InitializeSequence, FailedSetterLeavesItsFlagAtThePlatformDefault) {
    // rayOrigin's "not readable" is the fourth setReadable, after those of
    // placementMatrix, outColor and outTransparency.
    mayaHost::failNthCall(ApiCall::setReadable, 4);
    const std::string errors = loadCapturingErrors([&](const mayaHost::NodeType& type) {
        const mayaHost::AttributeInfo* a = type.findAttribute("rayOrigin");
        ASSERT_TRUE(a);
        EXPECT_TRUE(a->flags.readable);
        EXPECT_FALSE(a->flags.storable);
        EXPECT_TRUE(a->flags.hidden);
    });
    std::vector<Report> reports;
    ASSERT_TRUE(parseReports(errors, reports)) << errors;
    ASSERT_EQ(reports.size(), 1u);
    // The line of rayOrigin's step: the one every failure on it names.
    mayaHost::failCallsOnAttribute("rayOrigin");
    std::vector<Report> rayOriginReports;
    ASSERT_TRUE(parseReports(loadCapturingErrors([](const mayaHost::NodeType&) {}), rayOriginReports));
    ASSERT_FALSE(rayOriginReports.empty());
    EXPECT_EQ(reports[0].line, rayOriginReports[0].line);
}

TEST(InitializeSequence, SilentAttributeFailingEverywhereDropsOutQuietly) {
    mayaHost::failCallsOnAttribute("diffuse");
    const std::string errors = loadCapturingErrors([](const mayaHost::NodeType& type) {
        EXPECT_EQ(type.createdAttributes().size(), 80u);
        EXPECT_EQ(type.addedAttributes().size(), 32u);
        EXPECT_EQ(type.affects().size(), 72u);
        EXPECT_EQ(type.findAttribute("diffuse"), nullptr);
    });
    EXPECT_EQ(errors, "");
}

// A reported creation that fails leaves its function set on nothing: each
// of its setters then fails and is reported too, and so is the light-data
// array built from the missing child.
TEST(InitializeSequence, FailedReportedCreationCascadesThroughItsSettersAndTheArray) {
    mayaHost::failCallsOnAttribute("lightShadowFraction");
    const std::string errors = loadCapturingErrors([](const mayaHost::NodeType& type) {
        EXPECT_EQ(type.createdAttributes().size(), 79u);
        EXPECT_EQ(type.findAttribute("lightDataArray"), nullptr);
        EXPECT_NE(type.findAttribute("preShadowIntensity"), nullptr);
    });
    std::vector<Report> reports;
    ASSERT_TRUE(parseReports(errors, reports)) << errors;
    ASSERT_EQ(reports.size(), 11u) << errors;
    // The child's step six times, then the array's, written after it.
    const int childLine = reports[0].line, arrayLine = reports[6].line;
    EXPECT_GT(arrayLine, childLine);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(reports[std::size_t(i)].line, childLine);
    for (int i = 6; i < 11; ++i) EXPECT_EQ(reports[std::size_t(i)].line, arrayLine);
    EXPECT_EQ(reports[0].statusText, "Failure");            // the injected failure
    EXPECT_EQ(reports[1].statusText, "Invalid parameter");  // a setter on nothing
}
