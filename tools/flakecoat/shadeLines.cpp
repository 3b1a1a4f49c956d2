#include <cstdio>
#include <iostream>

#include "shade.h"

namespace {

// nlohmann's messages start with "[json.exception...] "; keep the rest.
std::string parseMessage(const char* what) {
    std::string message(what);
    const std::string::size_type bracket = message.find("] ");
    return bracket == std::string::npos ? message : message.substr(bracket + 2);
}

}  // namespace

int shadeEachLine(std::istream& input, const std::string& sourceName, const ShadeOneSample& shadeOne) {
    int status = 0;
    std::string line;
    for (long lineNumber = 1; std::getline(input, line); ++lineNumber) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::string message;
        try {
            if (shadeOne(nlohmann::json::parse(line), message)) continue;
        } catch (const nlohmann::json::parse_error& e) {
            message = "malformed JSON: " + parseMessage(e.what());
        }
        std::cerr << "flakecoat shade: " << sourceName << ":" << lineNumber << ": " << message << "\n";
        std::printf("error\n");  // keeps the output line for line with the input
        status = 1;
    }
    std::fflush(stdout);
    return status;
}
