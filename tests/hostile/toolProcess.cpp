#include "toolProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

ToolRun runTool(const fs::path& directory, const std::string& arguments, const std::string& prefix) {
    return runToolAt(FLAKECOAT_TOOL, directory, arguments, prefix);
}

ToolRun runToolAt(const fs::path& tool, const fs::path& directory, const std::string& arguments,
                  const std::string& prefix) {
    // The captured streams live beside the directory, not in it.
    const std::string base = directory.string() + ".";
    // The arguments' own redirections come last and win.
    const std::string command = "cd '" + directory.string() + "' && " + prefix + " '" + tool.string() + "' >'" +
                                base + "out' 2>'" + base + "err' " + arguments;
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = readAll(base + "out");
    run.err = readAll(base + "err");
    fs::remove(base + "out");
    fs::remove(base + "err");
    return run;
}

int entryCount(const fs::path& directory) {
    return int(std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

fs::path testDirectory() {
    const fs::path directory = fs::temp_directory_path() /
                               ("flakecoat-hostile-" + std::to_string(getpid()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory);
    fs::create_directories(directory);
    return directory;
}
