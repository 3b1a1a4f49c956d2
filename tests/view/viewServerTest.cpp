// The viewer's HTTP interface as a script or a hostile page sees it: checked
// settings, refused hosts and origins, bounded requests, and images that
// refine and follow the latest change.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "view/progressiveRender.h"
#include "view/viewServer.h"

namespace fv = flakecoat::preview::view;
using nlohmann::json;

namespace {

class ViewServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        flakecoat::preview::RenderHosts hosts;
        ASSERT_TRUE(flakecoat::preview::loadRenderHosts(
            {"maya", "mentalray"}, flakecoat::preview::HostModules::inDirectory(FLAKECOAT_LIBRARY_DIR), hosts, error))
            << error;
        flakecoat::preview::Stage stage;
        stage.width = stage.height = 24;
        stage.samplesPerPixel = 64;
        session_ = new fv::ViewSession(std::move(hosts), stage);
        images_ = new fv::LatestImage;
        render_ = new fv::ProgressiveRender(*session_, *images_, flakecoat::preview::Environment(), 2);
        server_ = new fv::ViewServer(*session_, *images_);
        port_ = server_->bind(0, error);
        ASSERT_GT(port_, 0) << error;
        serving_ = new std::thread([] { server_->run(); });
    }
    static void TearDownTestSuite() {
        server_->stop();
        serving_->join();
        delete serving_;
        delete server_;
        delete render_;
        delete images_;
        delete session_;
    }

    // Each test starts on the Maya host with its defaults.
    void SetUp() override {
        ASSERT_EQ(post("/view", "host=maya")->status, 200);
        ASSERT_EQ(post("/reset", "")->status, 200);
    }

    static httplib::Client client() {
        httplib::Client c("127.0.0.1", port_);
        c.set_read_timeout(30, 0);
        return c;
    }
    static httplib::Result get(const std::string& path, const httplib::Headers& headers = {}) {
        return client().Get(path, headers);
    }
    static httplib::Result post(const std::string& path, const std::string& body,
                                const httplib::Headers& headers = {}) {
        return client().Post(path, headers, body, "text/plain");
    }
    static std::uint64_t generationOf(const httplib::Result& reply) {
        return json::parse(reply->body).at("generation").get<std::uint64_t>();
    }
    static std::string own() { return "127.0.0.1:" + std::to_string(port_); }

    static fv::ViewSession* session_;
    static fv::LatestImage* images_;
    static fv::ProgressiveRender* render_;
    static fv::ViewServer* server_;
    static std::thread* serving_;
    static int port_;
};

fv::ViewSession* ViewServerTest::session_ = nullptr;
fv::LatestImage* ViewServerTest::images_ = nullptr;
fv::ProgressiveRender* ViewServerTest::render_ = nullptr;
fv::ViewServer* ViewServerTest::server_ = nullptr;
std::thread* ViewServerTest::serving_ = nullptr;
int ViewServerTest::port_ = 0;

TEST_F(ViewServerTest, SettingsAreCheckedAsTheCommandLineChecksThem) {
    struct Case {
        const char* host;
        const char* body;
        int status;
        const char* message;  // part of the 400 answer
    } cases[] = {
        {"maya", "normalDeviation=2.5", 200, ""},
        {"maya", "color=0.8,0.1,0.1", 200, ""},
        {"maya", "colorR=0.3", 200, ""},
        {"maya", "normalDeviation=9", 200, ""},  // beyond the slider, not a limit
        {"maya", "nosuch=1", 400, "maya has no shading input named 'nosuch'"},
        {"maya", "refractiveIndex=0.5,1.2,1.2", 400, "0.5 is below the minimum 1"},
        {"maya", "color=1,2", 400, "takes 3 values, got 2"},
        {"maya", "diffuse=abc", 400, "'abc' is not a finite number"},
        {"maya", "diffuse=nan", 400, "not a finite number"},
        {"maya", "diffuse", 400, "expected NAME=VALUE"},
        {"maya", "=1", 400, "the name before '=' is empty"},
        {"maya", "useIrradiance=on", 400, "no shading input named 'useIrradiance'"},
        {"mentalray", "useIrradiance=on", 200, ""},
        {"mentalray", "useIrradiance=2", 400, "is not a boolean"},
        {"mentalray", "seed=1.5", 400, "1.5 is not a whole number"},
        {"mentalray", "placementMatrix=1", 400, "no shading input named 'placementMatrix'"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(post("/view", std::string("host=") + c.host)->status, 200);
        const httplib::Result reply = post("/set", c.body);
        ASSERT_TRUE(reply) << c.body;
        EXPECT_EQ(reply->status, c.status) << c.body << ": " << reply->body;
        EXPECT_NE(reply->body.find(c.message), std::string::npos) << c.body << ": " << reply->body;
    }
    // View settings refuse what they do not know, the same way.
    EXPECT_EQ(post("/view", "host=renderman")->status, 400);
    EXPECT_EQ(post("/view", "lights=disco")->status, 400);
    EXPECT_EQ(post("/view", "environment=image")->status, 400);  // started without --env
    EXPECT_EQ(post("/view", "exposure=40")->status, 400);
    EXPECT_EQ(post("/view", "colour=1")->status, 400);
    EXPECT_EQ(post("/view", "floor=wood")->status, 400);
    EXPECT_EQ(post("/view", "environment=./sun")->status, 400);
    // A built-in environment and a floor are the command's; back to the sky.
    ASSERT_EQ(post("/view", "environment=overcast")->status, 200);
    ASSERT_EQ(post("/view", "floor=none")->status, 200);
    const json lit = json::parse(get("/state")->body);
    EXPECT_EQ(lit["environment"], "overcast");
    EXPECT_NE(lit["command"].get<std::string>().find("--env overcast --floor none"), std::string::npos)
        << lit["command"];
    ASSERT_EQ(post("/view", "environment=sky")->status, 200);
    ASSERT_EQ(post("/view", "floor=checker")->status, 200);
    const httplib::Result elevation = post("/view", "elevation=95");
    EXPECT_EQ(elevation->status, 400);
    EXPECT_NE(elevation->body.find("elevation=95: expected -90 to 90 degrees"), std::string::npos) << elevation->body;

    // The accepted Maya settings are the render command's, latest last; the
    // look went to mental ray and came back through the inputs both have.
    ASSERT_EQ(post("/view", "host=maya")->status, 200);
    const json state = json::parse(get("/state")->body);
    EXPECT_EQ(state["sets"], json({"color=0.3,0.1,0.1", "normalDeviation=9"}));
    EXPECT_EQ(state["values"]["color"], json({0.3, 0.1, 0.1}));
    EXPECT_NE(state["command"].get<std::string>().find(
                  "render --host maya --size 24x24 --spp 64 --lights studio --set color=0.3,0.1,0.1 "
                  "--set normalDeviation=9"),
              std::string::npos)
        << state["command"];
}

TEST_F(ViewServerTest, OnlyItsOwnLoopbackNameAndOriginMayDriveIt) {
    const std::string port = std::to_string(port_);
    const struct {
        httplib::Headers headers;
        int status;
    } cases[] = {
        {{{"Host", "127.0.0.1:" + port}}, 200},
        {{{"Host", "localhost:" + port}}, 200},
        {{{"Host", "evil.example:" + port}}, 403},  // a DNS name rebound to 127.0.0.1
        {{{"Host", "127.0.0.1:1"}}, 403},
        {{{"Host", "localhost"}}, 403},
        {{{"Host", "127.0.0.1:" + port}, {"Origin", "http://evil.example"}}, 403},
        {{{"Host", "127.0.0.1:" + port}, {"Origin", "http://localhost:" + port}}, 403},
        {{{"Host", "127.0.0.1:" + port}, {"Origin", "http://127.0.0.1:" + port}}, 200},
        {{{"Host", "127.0.0.1:" + port}, {"Sec-Fetch-Site", "same-site"}}, 403},  // another local port
        {{{"Host", "127.0.0.1:" + port}, {"Sec-Fetch-Site", "same-origin"}}, 200},
    };
    for (const auto& c : cases) {
        for (const bool posting : {false, true}) {
            const httplib::Result reply = posting ? post("/set", "diffuse=0.25", c.headers) : get("/state", c.headers);
            ASSERT_TRUE(reply);
            EXPECT_EQ(reply->status, c.status) << (posting ? "POST " : "GET ") << c.headers.begin()->second << " "
                                               << (c.headers.size() > 1 ? c.headers.rbegin()->second : "");
        }
    }
    // A refused setting changed nothing.
    EXPECT_EQ(json::parse(get("/state")->body)["sets"], json({"diffuse=0.25"}));
}

TEST_F(ViewServerTest, BadRequestsAreBoundedAndLeaveTheServerRunning) {
    const struct {
        std::string method, path, body;
        int status;
    } cases[] = {
        {"POST", "/set", std::string(fv::kMaxRequestBody + 1, '1'), 413},
        {"POST", "/set", "diffuse=" + std::string(fv::kMaxRequestBody, '1'), 413},
        {"GET", "/nowhere", "", 404},
        {"GET", "/../CMakeLists.txt", "", 404},
        {"GET", "/%2e%2e/CMakeLists.txt", "", 404},
        {"GET", "/index.html/..", "", 404},
        {"GET", "/image.png?after=x", "", 400},
        {"GET", "/image.png?generation=-1", "", 400},
        {"GET", "/inputs?host=nobody", "", 404},
        {"GET", "/" + std::string(20000, 'a'), "", 414},
        {"DELETE", "/set", "", 404},
    };
    for (const auto& c : cases) {
        httplib::Client raw = client();
        httplib::Request request;
        request.method = c.method;
        request.path = c.path;
        request.body = c.body;
        if (!c.body.empty()) request.set_header("Content-Type", "text/plain");
        const httplib::Result reply = raw.send(request);
        ASSERT_TRUE(reply) << c.method << " " << c.path.substr(0, 40);
        EXPECT_EQ(reply->status, c.status) << c.method << " " << c.path.substr(0, 40);
    }
    for (const char* path : {"/", "/viewer.js", "/viewer.css", "/inputs", "/state"})
        EXPECT_EQ(get(path)->status, 200) << path;
}

TEST_F(ViewServerTest, InputsAreWhatEachHostDeclares) {
    const json maya = json::parse(get("/inputs")->body);
    std::map<std::string, json> byName;
    for (const json& input : maya["inputs"]) byName[input["name"].get<std::string>()] = input;
    // Hidden attributes, outputs and children are not controls.
    for (const char* absent : {"placementMatrix", "outColor", "outTransparency", "pointCamera", "rayDepth", "colorR"})
        EXPECT_EQ(byName.count(absent), 0u) << absent;
    EXPECT_EQ(byName.size(), 13u);
    // Grouped as the attribute-editor template frames them, in its order.
    EXPECT_EQ(maya["groups"], json({"Base Colour and Diffuse", "Thin Film", "Coat and Specular", "Flakes",
                                    "Reflection", "Placement", "Extra Attributes"}));
    EXPECT_EQ(byName["seed"]["group"], "Placement");
    std::vector<std::string> order;
    for (const json& input : maya["inputs"]) order.push_back(input["name"]);
    EXPECT_EQ(order, (std::vector<std::string>{"color", "diffuse", "ambientColor", "incandescence", "transparency",
                                               "depthRange", "refractiveIndex", "specularPower", "specular",
                                               "normalDeviation", "reflectivity", "frequency", "seed"}));
    for (const auto& [name, input] : byName) EXPECT_NE(input["group"], "Extra Attributes") << name;
    const json& deviation = byName["normalDeviation"];
    EXPECT_EQ(deviation["kind"], "float");
    EXPECT_EQ(deviation["softMin"], 0.0);
    EXPECT_EQ(deviation["softMax"], 4.0);
    EXPECT_EQ(deviation["default"], json({1.0}));
    EXPECT_EQ(deviation["group"], "Flakes");
    EXPECT_EQ(byName["refractiveIndex"]["min"], json({1.0, 1.0, 1.0}));
    EXPECT_EQ(byName["refractiveIndex"]["kind"], "float3");
    EXPECT_EQ(byName["color"]["kind"], "color");
    EXPECT_EQ(byName["color"]["default"], json({0.209, 1.0, 0.182}));
    EXPECT_EQ(byName["color"]["children"], json({"colorR", "colorG", "colorB"}));
    EXPECT_EQ(byName["frequency"]["kind"], "float2");

    const json mentalray = json::parse(get("/inputs?host=mentalray")->body);
    byName.clear();
    for (const json& input : mentalray["inputs"]) byName[input["name"].get<std::string>()] = input;
    EXPECT_EQ(byName.size(), 19u);  // every parameter but the light array
    EXPECT_EQ(byName["useIrradiance"]["kind"], "boolean");
    EXPECT_EQ(byName["useIrradiance"]["default"], json({0.0}));
    EXPECT_EQ(byName["seed"]["kind"], "integer");
    EXPECT_EQ(byName["seed"]["default"], json({1234.0}));
    EXPECT_EQ(byName["normalCamera"]["kind"], "float3");
    EXPECT_EQ(byName["frequencyX"]["group"], "Placement");
    EXPECT_EQ(byName["depthRangeMin"]["group"], "Thin Film");
    EXPECT_EQ(byName["specularColor"]["group"], "Coat and Specular");
    EXPECT_EQ(byName["useIrradiance"]["group"], "Extra Attributes");
}

// Waits for the first image after `serial` of at least `generation`.
json nextImage(httplib::Client& c, std::uint64_t serial, std::uint64_t generation, std::string* png = nullptr) {
    const httplib::Result reply = c.Get("/image.png?after=" + std::to_string(serial) +
                                        "&generation=" + std::to_string(generation));
    if (!reply || reply->status != 200) return json();
    if (png) *png = reply->body;
    return json{{"serial", std::stoull(reply->get_header_value("X-Image-Serial"))},
                {"generation", std::stoull(reply->get_header_value("X-Image-Generation"))},
                {"spp", std::stoi(reply->get_header_value("X-Image-Spp"))},
                {"note", reply->get_header_value("X-Image-Note")}};
}

// The finished image of a generation, as the page would save it.
std::string finishedImage(httplib::Client& c, std::uint64_t generation, json* detail = nullptr) {
    std::string png;
    for (json image = nextImage(c, 0, generation, &png); !image.is_null();
         image = nextImage(c, image["serial"], generation, &png))
        if (image["spp"] == 64) {
            if (detail) *detail = image;
            return png;
        }
    return "";
}

TEST_F(ViewServerTest, ImagesRefineAndFollowTheLatestChange) {
    httplib::Client c = client();
    const std::uint64_t generation = generationOf(post("/set", "normalDeviation=2"));

    // 1, 4, 16, 64 samples of this generation, in order (a small image
    // refines faster than the client asks, so steps may be skipped)
    std::vector<int> steps;
    std::uint64_t serial = 0;
    std::string png;
    while (steps.empty() || steps.back() < 64) {
        const json image = nextImage(c, serial, generation, &png);
        ASSERT_FALSE(image.is_null());
        ASSERT_EQ(image["generation"], generation);
        serial = image["serial"];
        steps.push_back(image["spp"]);
    }
    for (int spp : steps) EXPECT_TRUE(spp == 1 || spp == 4 || spp == 16 || spp == 64) << spp;
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(std::adjacent_find(steps.begin(), steps.end()), steps.end());
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png[19], 24);  // width in the header chunk
    EXPECT_EQ(png[23], 24);

    // An exposure change alone keeps the refinement: the finished image again.
    const std::uint64_t exposed = generationOf(post("/view", "exposure=1.5"));
    const json reexposed = nextImage(c, serial, exposed);
    EXPECT_EQ(reexposed["spp"], 64);
    serial = reexposed["serial"];

    // A burst of changes: what arrives next is of the last one, never an
    // older generation's refinement.
    std::uint64_t last = 0;
    for (int i = 0; i < 12; ++i) last = generationOf(post("/set", "normalDeviation=" + std::to_string(0.25 * i)));
    const json latest = nextImage(c, serial, last);
    EXPECT_EQ(latest["generation"], last);
    for (json image = latest; image["spp"] < 64;) {
        image = nextImage(c, image["serial"], 0);
        ASSERT_FALSE(image.is_null());
        EXPECT_EQ(image["generation"], last);
    }
    EXPECT_EQ(post("/view", "exposure=0")->status, 200);
}

// A look saved from the viewer renders as the viewer's finished image, byte
// for byte, its camera too; a look loaded into it replaces both hosts'
// values and the camera.
TEST_F(ViewServerTest, ASavedLookRendersAsTheViewerShowsIt) {
    httplib::Client c = client();
    ASSERT_EQ(post("/set", "color=0.7,0.2,0.1")->status, 200);
    ASSERT_EQ(post("/view", "lights=softbox")->status, 200);
    for (const char* body : {"orbit=-35", "elevation=40", "zoom=1.5", "shot=closeup"})
        ASSERT_EQ(post("/view", body)->status, 200);
    const std::uint64_t generation = generationOf(post("/set", "normalDeviation=3"));
    const std::string shown = finishedImage(c, generation);
    ASSERT_FALSE(shown.empty());
    const json camera = json::parse(get("/state")->body);
    EXPECT_EQ(camera["camera"], json({{"orbit", -35.0}, {"elevation", 40.0}, {"zoom", 1.5}, {"fov", 28.0},
                                      {"frame", ""}, {"shot", "closeup"}}));
    EXPECT_NE(camera["command"].get<std::string>().find("--orbit -35 --elevation 40 --zoom 1.5 --shot closeup"),
              std::string::npos);
    const httplib::Result look = get("/look");
    ASSERT_EQ(look->status, 200);
    const std::string directory = testing::TempDir();
    const std::string saved = directory + "flakecoat-view-look.json", rendered = directory + "flakecoat-view-look.png";
    std::ofstream(saved) << look->body;
    const std::string command = std::string(FLAKECOAT_TOOL) + " render --look " + saved + " --out " + rendered +
                                " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << look->body;
    std::ifstream file(rendered, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(file), {}) == shown) << look->body;
    std::remove(saved.c_str());
    std::remove(rendered.c_str());

    // Loaded: refused whole, or taken whole.
    const std::pair<const char*, const char*> refused[] = {
        {"{", "the look: not JSON"},
        {R"({"flakecoatLook": 1, "maya": {"colour": 1}})", "the look: key \"maya.colour\": maya has no shading input"},
        {R"({"flakecoatLook": 1, "stage": {"lights": "disco"}})", "the look: key \"stage.lights\": disco: unknown rig"},
    };
    for (const auto& [body, message] : refused) {
        const httplib::Result reply = post("/look", body);
        EXPECT_EQ(reply->status, 400) << body;
        EXPECT_NE(reply->body.find(message), std::string::npos) << reply->body;
    }
    EXPECT_EQ(json::parse(get("/state")->body)["values"]["color"], json({0.7, 0.2, 0.1}));
    const httplib::Result loaded = post("/look", R"({"flakecoatLook": 1, "host": "mentalray",
        "stage": {"lights": "sun", "size": "10x10"}, "maya": {}, "mentalray": {"diffuse": 0.25}})");
    ASSERT_EQ(loaded->status, 200) << loaded->body;
    EXPECT_EQ(json::parse(loaded->body)["notes"], json({"kept this viewer's object and size (start flakecoat view "
                                                        "--look FILE for the look's)"}));
    const json state = json::parse(get("/state")->body);
    EXPECT_EQ(state["host"], "mentalray");
    EXPECT_EQ(state["lights"], "sun");
    EXPECT_EQ(state["camera"]["shot"], "whole");  // a look without a camera has the default one
    EXPECT_EQ(state["sets"], json({"diffuse=0.25"}));
    // What a file leaves out is the default, as render --look has it
    ASSERT_EQ(post("/view", "exposure=1")->status, 200);
    ASSERT_EQ(post("/look", R"({"flakecoatLook": 1})")->status, 200);
    const json defaults = json::parse(get("/state")->body);
    EXPECT_EQ(defaults["lights"], "studio");
    EXPECT_EQ(defaults["exposure"], 0.0);
}

// Switching host takes the look along where the other host has the inputs;
// an image with samples that were not finite says so and by which values.
TEST_F(ViewServerTest, TheLookGoesAlongAndBrokenSamplesAreNamed) {
    ASSERT_EQ(post("/view", "host=mentalray")->status, 200);
    ASSERT_EQ(post("/reset", "")->status, 200);
    ASSERT_EQ(post("/set", "useIrradiance=on")->status, 200);
    ASSERT_EQ(post("/view", "host=maya")->status, 200);
    ASSERT_EQ(post("/set", "depthRange=20,5")->status, 200);
    ASSERT_EQ(post("/set", "transparency=0.5,0.5,0.5")->status, 200);
    ASSERT_EQ(post("/view", "host=mentalray")->status, 200);
    json state = json::parse(get("/state")->body);
    EXPECT_EQ(state["values"]["depthRangeMin"], json({20.0}));
    EXPECT_EQ(state["values"]["depthRangeMax"], json({5.0}));
    EXPECT_EQ(state["values"]["useIrradiance"], json({1.0}));  // Maya has none: its own kept

    httplib::Client c = client();
    json detail;
    const std::uint64_t broken = generationOf(post("/set", "refractiveIndex=0,0,0"));
    ASSERT_FALSE(finishedImage(c, broken, &detail).empty());
    const std::string note = detail["note"];
    EXPECT_NE(note.find("samples were not finite (NaN or infinite), shown in magenta: mentalray with"),
              std::string::npos)
        << note;
    EXPECT_NE(note.find("refractiveIndex=0,0,0"), std::string::npos) << note;
    const std::uint64_t mended = generationOf(post("/set", "refractiveIndex=1.4,1.4,1.4"));
    ASSERT_FALSE(finishedImage(c, mended, &detail).empty());
    EXPECT_EQ(detail["note"], "");
    ASSERT_EQ(post("/reset", "")->status, 200);
}

}  // namespace
