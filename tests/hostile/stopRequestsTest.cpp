// flakecoat render and sweep asked to stop: every signal that would end
// the process stops it cleanly, soon, even on a model that takes hours to
// render, and a write over the file-size limit is reported. None leaves a
// file behind.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "toolProcess.h"

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 8;  // sanitizers slow loading and rendering alike
#else
constexpr int kSlowdown = 1;
#endif

using Clock = std::chrono::steady_clock;

// The tool started in `directory` with its streams discarded.
pid_t startTool(const fs::path& directory, const std::vector<std::string>& arguments) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (chdir(directory.c_str()) != 0 || null < 0) _exit(127);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>("flakecoat")};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(FLAKECOAT_TOOL, argv.data());
        _exit(127);
    }
    return pid;
}

// Exit status as the shell gives it: the code, or 128 + the signal.
int waitStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits until the directory holds `count` entries (the render's temporary
// file has appeared); false after the deadline.
bool waitForEntries(const fs::path& directory, int count, std::chrono::seconds deadline) {
    const auto end = Clock::now() + deadline;
    while (entryCount(directory) < count && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return entryCount(directory) >= count;
}

const std::vector<std::string> kSlowRender = {"render", "--host", "maya", "--size", "1024x1024", "--spp", "256",
                                              "--threads", "1", "--out", "ball.png"};
const std::vector<std::string> kSlowSweep = {"sweep", "--host", "mentalray", "--size", "512x512", "--spp", "64",
                                             "--threads", "1", "--vary", "diffuse=0:1:4", "--out", "sheet.png"};

}  // namespace

TEST(HostileStop, EverySignalThatWouldEndTheProcessLeavesNoFile) {
    const std::vector<int> signals = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1,  SIGUSR2,
                                      SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGRTMIN, SIGRTMAX};
    const fs::path directory = testDirectory();
    for (const auto& command : {kSlowRender, kSlowSweep}) {
        for (const int signal : signals) {
            // The sweep is slower to start: a few signals suffice for it
            if (command == kSlowSweep && signal != SIGINT && signal != SIGPIPE && signal != SIGRTMIN) continue;
            SCOPED_TRACE(command[0] + " signal " + std::to_string(signal));
            const pid_t pid = startTool(directory, command);
            ASSERT_GT(pid, 0);
            // Signal once the temporary file exists: the render is under way.
            EXPECT_TRUE(waitForEntries(directory, 1, std::chrono::seconds(60 * kSlowdown)));
            kill(pid, signal);
            EXPECT_EQ(waitStatus(pid), 128 + signal) << "the signal's own action ended the process";
            EXPECT_EQ(entryCount(directory), 0);
            fs::remove_all(directory);
            fs::create_directories(directory);
        }
    }
    fs::remove_all(directory);
}

TEST(HostileStop, AStopActsWithinMomentsOnMillionsOfCoincidentTriangles) {
    // One triangle repeated: the hierarchy cannot separate them, so each ray
    // tests them all and the render would take hours.
    const fs::path directory = testDirectory();
    {
        std::ofstream model(directory / "stack.obj");
        model << "v 0 1 0\nv 1 1 0\nv 0 2 0\n";
        const std::string face = "f 1 2 3\n";
        std::string faces;
        for (int i = 0; i < 4096; ++i) faces += face;
        const int repeats = (kSlowdown == 1 ? (1 << 22) - 1 : 1 << 20) / 4096;
        for (int i = 0; i < repeats; ++i) model << faces;
    }
    const std::vector<std::string> render = {"render", "--host", "mentalray", "--mesh", "stack.obj", "--size",
                                             "128x128", "--spp", "1", "--out", "stack.png"};
    const std::vector<std::string> sweep = {"sweep", "--host", "maya", "--mesh", "stack.obj", "--size", "64x64",
                                            "--spp", "1", "--vary", "diffuse=0:1:2", "--out", "stack.png"};
    // A stop while the model is read and built, then while it renders
    struct Case {
        const std::vector<std::string>* command;
        bool whileRendering;
    };
    for (const Case& c : {Case{&render, false}, Case{&render, true}, Case{&sweep, true}}) {
        SCOPED_TRACE((*c.command)[0] + (c.whileRendering ? " while rendering" : " while reading the model"));
        const pid_t pid = startTool(directory, *c.command);
        ASSERT_GT(pid, 0);
        if (c.whileRendering)
            EXPECT_TRUE(waitForEntries(directory, 2, std::chrono::seconds(120 * kSlowdown)));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto asked = Clock::now();
        kill(pid, SIGINT);
        EXPECT_EQ(waitStatus(pid), 128 + SIGINT);
        // Half a second is the aim; the bound allows for a loaded machine.
        EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(2500 * kSlowdown));
        EXPECT_EQ(entryCount(directory), 1) << "only the model is left";
    }
    fs::remove_all(directory);
}

TEST(HostileStop, AWriteOverTheFileSizeLimitIsReportedAndLeavesNoImage) {
    const fs::path directory = testDirectory();
    const std::string commands[] = {
        "render --host maya --size 256x256 --spp 1 --out ball.png",
        "render --host maya --size 256x256 --spp 1 --out ball.exr",
        "render --host both --size 128x128 --spp 1 --out ball.png",
        "sweep --host maya --size 96x96 --spp 1 --vary diffuse=0:1:3 --out sheet.png",
    };
    for (const std::string& command : commands) {
        // 4 KiB: smaller than any of these images
        const ToolRun run = runTool(directory, command, "ulimit -f 4;");
        EXPECT_EQ(run.status, 1) << command << "\n" << run.err;
        EXPECT_NE(run.err.find("File too large"), std::string::npos) << command << "\n" << run.err;
        EXPECT_EQ(entryCount(directory), 0) << command;
    }
    fs::remove_all(directory);
}
