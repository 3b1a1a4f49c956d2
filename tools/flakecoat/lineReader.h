#ifndef FLAKECOAT_TOOLS_LINE_READER_H
#define FLAKECOAT_TOOLS_LINE_READER_H

#include <cstddef>
#include <cstdio>
#include <string>

// Reads text lines from a stream with a bound on their length, so one huge
// line cannot exhaust memory, and tells a read error from the end of input.
class LineReader {
public:
    enum class Result {
        line,     // a line (without its '\n') is in the string
        tooLong,  // the line held more than maxBytes bytes; skipped to its end
        end,      // no more input
        failed,   // a read error; errorNumber() says which
    };

    LineReader(std::FILE* stream, std::size_t maxBytes) : stream_(stream), maxBytes_(maxBytes) {}

    Result next(std::string& line);
    // The number of the line next() returned last, from 1.
    long lineNumber() const { return lineNumber_; }
    int errorNumber() const { return errorNumber_; }

private:
    std::FILE* stream_;
    std::size_t maxBytes_;
    long lineNumber_ = 0;
    int errorNumber_ = 0;
};

#endif
