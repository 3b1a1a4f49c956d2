#ifndef FLAKECOAT_TESTS_HOSTILE_TOOL_PROCESS_H
#define FLAKECOAT_TESTS_HOSTILE_TOOL_PROCESS_H

// The flakecoat tool run as a separate process through the shell, with its
// output streams captured, in a fresh directory of its own per test.

#include <filesystem>
#include <string>

struct ToolRun {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs "flakecoat ARGUMENTS" through /bin/sh in directory. ARGUMENTS may
// redirect the streams itself ("< /dev/null", ">/dev/full"); prefix runs
// first in the same shell ("ulimit -v N;").
ToolRun runTool(const std::filesystem::path& directory, const std::string& arguments, const std::string& prefix = "");
// The same with another copy of the tool (one beside its own lib/ folder).
ToolRun runToolAt(const std::filesystem::path& tool, const std::filesystem::path& directory,
                  const std::string& arguments, const std::string& prefix = "");

// Entries of a directory, hidden ones included.
int entryCount(const std::filesystem::path& directory);

// A fresh empty directory named after the running test.
std::filesystem::path testDirectory();

#endif
