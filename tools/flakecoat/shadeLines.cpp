#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>

#include "inputEcho.h"
#include "lineReader.h"
#include "shade.h"
#include "shadeLimits.h"

namespace {

bool isBlank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }

// nlohmann's messages start with "[json.exception...] "; keep the rest,
// with the text it quotes ("last read: '...'") cut as all echoed input is.
std::string jsonMessage(const char* what) {
    std::string message(what);
    const std::string::size_type bracket = message.find("] ");
    if (bracket != std::string::npos) message.erase(0, bracket + 2);
    const std::string quoteStart = "last read: '";
    const std::string::size_type quoted = message.find(quoteStart);
    if (quoted != std::string::npos) {
        const std::string::size_type from = quoted + quoteStart.size(), to = message.rfind('\'');
        if (to != std::string::npos && to >= from)
            message.replace(from, to - from, flakecoat::echoInput(std::string_view(message).substr(from, to - from)));
    }
    return message;
}

// Parses and shades one line; false with the message to report.
bool shadeLine(const std::string& text, SampleShader& shader, float* components, int& count, std::string& error) {
    const std::string::size_type nul = text.find('\0');
    if (nul != std::string::npos) {
        error = "a NUL byte at column " + std::to_string(nul + 1);
        return false;
    }
    nlohmann::json sample;
    try {
        sample = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        error = "malformed JSON: " + jsonMessage(e.what());
        return false;
    } catch (const nlohmann::json::exception& e) {
        error = jsonMessage(e.what());  // a number beyond double's range
        return false;
    }
    return shader.shade(sample, components, count, error);
}

}  // namespace

int shadeLines(std::FILE* input, const std::string& sourceName, SampleShader& shader, std::FILE* out,
               std::FILE* err) {
    int status = 0;
    int writeError = 0;
    LineReader reader(input, kMaxShadeLineBytes);
    std::string text;
    for (LineReader::Result read; (read = reader.next(text)) != LineReader::Result::end;) {
        if (read == LineReader::Result::failed) {
            std::fprintf(err, "flakecoat shade: cannot read %s: %s\n", sourceName.c_str(),
                         std::strerror(reader.errorNumber()));
            status = 1;
            break;
        }
        if (read == LineReader::Result::line && isBlank(text)) continue;

        const std::string where = sourceName + ":" + std::to_string(reader.lineNumber());
        float components[4];
        int count = 0;
        std::string error;
        bool shaded = false;
        if (read == LineReader::Result::tooLong) {
            error = "the line is longer than " + std::to_string(kMaxShadeLineBytes) + " bytes";
        } else {
            try {
                shaded = shadeLine(text, shader, components, count, error);
            } catch (const std::bad_alloc&) {
                error = "out of memory";
            }
        }
        if (!shaded) {
            std::fprintf(err, "flakecoat shade: %s: %s\n", where.c_str(), error.c_str());
            std::fputs("error\n", out);  // keeps the output line for line with the input
            status = 1;
        } else {
            bool finite = true;
            for (int i = 0; i < count; ++i) {
                std::fprintf(out, i ? " %.9g" : "%.9g", double(components[i]));
                finite = finite && std::isfinite(components[i]);
            }
            std::fputc('\n', out);
            if (!finite)
                std::fprintf(err, "flakecoat shade: %s: warning: the result is not a finite colour\n", where.c_str());
        }
        if (std::ferror(out)) {
            writeError = errno != 0 ? errno : EIO;
            break;
        }
    }
    if (std::fflush(out) != 0 && writeError == 0) writeError = errno;
    if (writeError == 0 && std::ferror(out)) writeError = EIO;
    if (writeError != 0) {
        std::fprintf(err, "flakecoat shade: cannot write the results: %s\n", std::strerror(writeError));
        std::clearerr(out);  // reported here, once
        status = 1;
    }
    return status;
}
