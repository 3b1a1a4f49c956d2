#include "lineReader.h"

#include <cerrno>

LineReader::Result LineReader::next(std::string& line) {
    line.clear();
    bool tooLong = false;
    bool any = false;
    errno = 0;
    for (int c; (c = std::getc(stream_)) != EOF;) {
        any = true;
        if (c == '\n') break;
        if (line.size() < maxBytes_)
            line.push_back(char(c));
        else
            tooLong = true;  // keep reading to the line's end, storing nothing
    }
    if (std::ferror(stream_)) {
        errorNumber_ = errno != 0 ? errno : EIO;
        return Result::failed;
    }
    if (!any) return Result::end;
    ++lineNumber_;
    if (tooLong) {
        line.clear();
        return Result::tooLong;
    }
    return Result::line;
}
