#include "meshes/objChecker.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "inputEcho.h"

namespace flakecoat::preview {

namespace {

// The file is read in pieces of this size.
constexpr std::size_t kPieceBytes = std::size_t(1) << 20;
// Of a long line of a statement that is dropped, the part kept.
constexpr std::size_t kLongLinePrefix = 64;
// Lines between looks at the cancel flag: a few milliseconds of reading.
constexpr std::size_t kLinesPerCancelCheck = 1 << 14;
// Text handed on at a time (the library reads it a character at a time).
constexpr std::size_t kOutBytes = std::size_t(1) << 16;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

// The next token of a line (separated by spaces and tabs), or empty.
std::string_view nextToken(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && isSeparator(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    const std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

std::string quoted(std::string_view token) { return "'" + echoInput(token) + "'"; }

// A decimal number as single precision holds it. One too small for it reads
// as zero, as it would in any single-precision program; one too large, an
// infinity or a NaN is refused.
bool parseCoordinate(std::string_view token, float& value, std::string& error) {
    std::string_view digits = token;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const char* end = digits.data() + digits.size();
    const auto [stop, status] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || digits.front() == '+' || stop != end ||
        (status != std::errc() && status != std::errc::result_out_of_range)) {
        error = quoted(token) + " is not a number";
        return false;
    }
    if (status == std::errc::result_out_of_range) {
        const std::string text(digits);
        value = std::strtof(text.c_str(), nullptr) == 0.0f ? (text.front() == '-' ? -0.0f : 0.0f) : HUGE_VALF;
    }
    if (!std::isfinite(value)) {
        error = quoted(token) + " is not a finite single-precision number";
        return false;
    }
    return true;
}

// One index of a face corner, checked against the `count` elements read so
// far and resolved to 1-based.
bool parseIndex(std::string_view token, std::size_t count, const char* kind, std::size_t& resolved,
                std::string& error) {
    long long index = 0;
    const char* end = token.data() + token.size();
    const auto [stop, status] = std::from_chars(token.data(), end, index);
    if (token.empty() || status != std::errc() || stop != end) {
        error = "corner index " + quoted(token) + " is not a whole number";
        return false;
    }
    const long long oneBased = index < 0 ? (long long)count + index + 1 : index;
    if (index == 0 || oneBased < 1 || oneBased > (long long)count) {
        error = std::string(kind) + " index " + echoInput(token) + " is out of range (" + std::to_string(count) +
                " " + kind + (count == 1 ? "" : "s") + " so far)";
        return false;
    }
    resolved = std::size_t(oneBased);
    return true;
}

// Where the line starting `text` ends, searching from `from`: the first
// "\r" or "\n", or npos. (The library's find_first_of looks up each
// character in the set of two, several times slower.)
std::size_t lineEnd(std::string_view text, std::size_t from) {
    for (std::size_t at = from; at < text.size(); ++at)
        if (text[at] == '\n' || text[at] == '\r') return at;
    return std::string_view::npos;
}

void appendIndex(std::string& out, std::size_t index) {
    char text[24];
    const auto [end, status] = std::to_chars(text, text + sizeof text, index);
    (void)status;
    out.append(text, end);
}

}  // namespace

ObjLineSource::ObjLineSource(std::string_view text) : rest_(text) {}

ObjLineSource::ObjLineSource(std::istream& file, const std::atomic<bool>* cancel) : file_(&file), cancel_(cancel) {}

bool ObjLineSource::fill() {
    if (!file_ || readFailed_ || !file_->good() || (cancel_ && cancel_->load(std::memory_order_relaxed)))
        return false;
    // Drop what was read once it is no smaller than what is left, so a long
    // line is moved a bounded number of times
    std::size_t consumed = buffer_.size() - rest_.size();
    if (consumed >= rest_.size()) {
        buffer_.erase(0, consumed);
        consumed = 0;
    }
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kPieceBytes);
    file_->read(buffer_.data() + old, std::streamsize(kPieceBytes));
    const std::size_t got = std::size_t(file_->gcount());
    buffer_.resize(old + got);
    if (file_->bad() || (file_->fail() && !file_->eof())) readFailed_ = true;
    rest_ = std::string_view(buffer_).substr(consumed);
    return got > 0;
}

bool ObjLineSource::next(std::string_view& line) {
    std::size_t scanned = 0;  // of rest_, known to hold no line ending
    for (;;) {
        if (atStart_) {
            if (rest_.size() < kByteOrderMark.size() && fill()) continue;
            atStart_ = false;
            if (rest_.substr(0, kByteOrderMark.size()) == kByteOrderMark) rest_.remove_prefix(kByteOrderMark.size());
        }
        if (skipLineFeed_) {
            if (rest_.empty() && fill()) continue;
            skipLineFeed_ = false;
            if (!rest_.empty() && rest_.front() == '\n') rest_.remove_prefix(1);
        }
        const std::size_t end = lineEnd(rest_, scanned);
        if (end != std::string_view::npos) {
            line = rest_.substr(0, end);
            skipLineFeed_ = rest_[end] == '\r';
            rest_.remove_prefix(end + 1);
            return true;
        }
        scanned = rest_.size();
        if (scanned > kPieceBytes && !mayBeKept(rest_)) return skipLongLine(line);
        if (fill()) continue;
        if (rest_.empty()) return false;
        line = rest_;
        rest_.remove_prefix(rest_.size());
        return true;
    }
}

bool ObjLineSource::mayBeKept(std::string_view text) {
    const std::string_view keyword = nextToken(text);
    return keyword.empty() || keyword == "v" || keyword == "vn" || keyword == "vt" || keyword == "f";
}

bool ObjLineSource::skipLongLine(std::string_view& line) {
    // What the checker looks at in a statement it drops: its keyword, and
    // whether the line holds a NUL
    longLine_.assign(rest_.substr(0, kLongLinePrefix));
    bool holdsNul = false;
    for (;;) {
        const std::size_t end = lineEnd(rest_, 0);
        const std::string_view part = rest_.substr(0, end);
        holdsNul = holdsNul || part.find('\0') != std::string_view::npos;
        if (end != std::string_view::npos) {
            skipLineFeed_ = rest_[end] == '\r';
            rest_.remove_prefix(end + 1);
            break;
        }
        rest_.remove_prefix(rest_.size());
        if (!fill()) break;
    }
    if (holdsNul) longLine_ += '\0';
    line = longLine_;
    return true;
}

void ObjBatch::clear() {
    positionLines.clear();
    normalLines.clear();
    texcoordLines.clear();
    positions.clear();
    normals.clear();
    texcoords.clear();
    faces.clear();
}

namespace {

bool sameValuesOfKind(const std::vector<float>& read, const std::vector<float>& checked,
                      const std::vector<std::size_t>& lines, std::size_t perElement, const char* kind,
                      std::size_t& line, std::string& message) {
    if (read.size() != checked.size()) {
        line = 0;
        message = "the OBJ library read " + std::to_string(read.size() / perElement) + " " + kind + "s where " +
                  std::to_string(checked.size() / perElement) + " were given";
        return false;
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (std::isfinite(read[i]) && std::memcmp(&read[i], &checked[i], sizeof(float)) == 0) continue;
        line = lines[i / perElement];
        char value[32];
        std::snprintf(value, sizeof value, "%.9g", double(read[i]));
        message = std::isfinite(read[i])
                      ? "a " + std::string(kind) + " value was read as " + value + ", not as the number written"
                      : "a " + std::string(kind) + " value read as " + value + " is not a finite single-precision number";
        return false;
    }
    return true;
}

}  // namespace

bool ObjBatch::sameValues(const std::vector<float>& readPositions, const std::vector<float>& readNormals,
                          const std::vector<float>& readTexcoords, std::size_t& line, std::string& message) const {
    return sameValuesOfKind(readPositions, positions, positionLines, 3, "position", line, message) &&
           sameValuesOfKind(readNormals, normals, normalLines, 3, "normal", line, message) &&
           sameValuesOfKind(readTexcoords, texcoords, texcoordLines, 2, "texture coordinate", line, message);
}

ObjChecker::ObjChecker(ObjLineSource& source, const ObjLimits& limits, const std::atomic<bool>* cancel)
    : source_(source), limits_(limits), cancel_(cancel) {}

void ObjChecker::nextBatch() {
    batch_.clear();
    statementsInBatch_ = 0;
    setg(nullptr, nullptr, nullptr);
}

void ObjChecker::appendNumber(float value) {
    // Nine significant digits name a float exactly, and lie so close to it
    // that the library's reading (in double precision) rounds back to it.
    // They are written as a whole number and a power of ten, "-123456789e-9",
    // which the library reads with one power at most.
    char text[32];
    const auto [end, status] = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 8);
    (void)status;
    const std::string_view written(text, std::size_t(end - text));  // [-]d.dddddddde(+|-)dd
    const std::size_t point = written.find('.'), e = written.find('e');
    std::string_view digits = written.substr(point + 1, e - point - 1);
    int exponent = 0;
    const std::size_t exponentStart = e + 1 + (written[e + 1] == '+' ? 1 : 0);
    std::from_chars(written.data() + exponentStart, written.data() + written.size(), exponent);
    exponent -= int(digits.size());
    while (!digits.empty() && digits.back() == '0') {
        digits.remove_suffix(1);
        ++exponent;
    }
    out_ += ' ';
    out_.append(written.data(), point);  // sign and first digit
    if (digits.empty() && written[point - 1] == '0') return;  // zero
    out_.append(digits);
    if (exponent != 0) {
        out_ += exponent < 0 ? "e-" : "e";
        appendIndex(out_, std::size_t(std::abs(exponent)));
    }
}

bool ObjChecker::numbers(std::string_view rest, int least, int most, int kept, float* values, const char* what,
                         std::string& message) {
    int found = 0;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        float value = 0.0f;
        if (!parseCoordinate(token, value, message)) return false;
        if (++found > most) {
            message = std::string("too many values for ") + what;
            return false;
        }
        if (found <= kept) values[found - 1] = value;
    }
    if (found < least) {
        message = std::string("expected ") + what;
        return false;
    }
    return true;
}

// f: three or more corners v, v/vt, v//vn or v/vt/vn, all of one form.
bool ObjChecker::face(std::string_view rest, std::string& message) {
    out_ += 'f';
    std::uint32_t corners = 0;
    int form = -1;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        // Split at the slashes: position, texture coordinate, normal
        std::string_view part[3];
        int slashes = 0;
        for (std::size_t at; (at = token.find('/')) != std::string_view::npos; token.remove_prefix(at + 1)) {
            if (slashes == 2) {
                message = "a face corner has more than three indices";
                return false;
            }
            part[slashes++] = token.substr(0, at);
        }
        part[slashes] = token;
        const bool hasTexcoord = slashes >= 1 && !(slashes == 2 && part[1].empty());
        const bool hasNormal = slashes == 2;
        std::size_t position = 0, texcoord = 0, normal = 0;
        if (!parseIndex(part[0], positions_, "position", position, message) ||
            (hasTexcoord && !parseIndex(part[1], texcoords_, "texture coordinate", texcoord, message)) ||
            (hasNormal && !parseIndex(part[2], normals_, "normal", normal, message)))
            return false;
        const int cornerForm = (hasTexcoord ? 1 : 0) + (hasNormal ? 2 : 0);
        if (form >= 0 && cornerForm != form) {
            message = "the corners of a face mix forms (v, v/vt, v//vn, v/vt/vn)";
            return false;
        }
        form = cornerForm;
        // Each corner beyond the second adds a triangle
        if (corners >= 2 && triangles_ + corners - 1 > limits_.maxTriangles) {
            message = "more than " + std::to_string(limits_.maxTriangles) + " triangles";
            return false;
        }
        ++corners;
        out_ += ' ';
        appendIndex(out_, position);
        if (hasTexcoord || hasNormal) out_ += '/';
        if (hasTexcoord) appendIndex(out_, texcoord);
        if (hasNormal) {
            out_ += '/';
            appendIndex(out_, normal);
        }
    }
    if (corners < 3) {
        message = "a face needs at least three corners";
        return false;
    }
    triangles_ += corners - 2;
    ++faces_;
    batch_.faces.push_back({lineNumber_, corners, (form & 1) != 0, (form & 2) != 0});
    return true;
}

bool ObjChecker::line(std::string_view text, std::string& message) {
    if (text.find('\0') != std::string_view::npos) {
        message = "the line holds a NUL character";
        return false;
    }
    std::string_view rest = text;
    const std::string_view keyword = nextToken(rest);
    const auto tooMany = [&](std::size_t count, const char* what) {
        if (count < limits_.maxElements) return false;
        message = "more than " + std::to_string(limits_.maxElements) + " " + what;
        return true;
    };
    // Values a statement keeps: x y z of v (w and colours are not used) and
    // vn, u v of vt (v is 0 when only u is given)
    float values[3] = {0.0f, 0.0f, 0.0f};
    if (keyword == "v") {
        if (!numbers(rest, 3, 7, 3, values, "x y z (then an optional w or r g b)", message) ||
            tooMany(positions_, "positions"))
            return false;
        out_ += 'v';
        for (int k = 0; k < 3; ++k) appendNumber(values[k]);
        batch_.positions.insert(batch_.positions.end(), values, values + 3);
        batch_.positionLines.push_back(lineNumber_);
        ++positions_;
    } else if (keyword == "vn") {
        if (!numbers(rest, 3, 3, 3, values, "x y z", message) || tooMany(normals_, "normals")) return false;
        out_ += "vn";
        for (int k = 0; k < 3; ++k) appendNumber(values[k]);
        batch_.normals.insert(batch_.normals.end(), values, values + 3);
        batch_.normalLines.push_back(lineNumber_);
        ++normals_;
    } else if (keyword == "vt") {
        if (!numbers(rest, 1, 3, 2, values, "u (then optional v and w)", message) ||
            tooMany(texcoords_, "texture coordinates"))
            return false;
        out_ += "vt";
        for (int k = 0; k < 2; ++k) appendNumber(values[k]);
        batch_.texcoords.insert(batch_.texcoords.end(), values, values + 2);
        batch_.texcoordLines.push_back(lineNumber_);
        ++texcoords_;
    } else if (keyword == "f") {
        if (!face(rest, message)) return false;
    } else {
        return true;  // nothing handed on
    }
    out_ += '\n';
    ++statementsInBatch_;
    return true;
}

ObjChecker::int_type ObjChecker::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    out_.clear();
    const auto cancelled = [&] { return cancel_ && cancel_->load(std::memory_order_relaxed); };
    if (!finished_ && cancelled()) interrupted_ = finished_ = true;
    std::string_view text;
    while (!finished_ && statementsInBatch_ < kStatementsPerBatch && out_.size() < kOutBytes) {
        if (!source_.next(text)) {
            finished_ = true;
            interrupted_ = cancelled();
            if (source_.readFailed()) error_ = "cannot be read";
            break;
        }
        ++lineNumber_;
        if (lineNumber_ % kLinesPerCancelCheck == 0 && cancelled()) {
            interrupted_ = finished_ = true;
            break;
        }
        const std::size_t kept = out_.size();
        std::string message;
        if (!line(text, message)) {
            out_.resize(kept);  // the bad statement is not handed on
            error_ = message;
            errorLine_ = lineNumber_;
            // A stop can cut the file's last line short
            interrupted_ = cancelled();
            finished_ = true;
        }
    }
    if (interrupted_) out_.clear();
    setg(out_.data(), out_.data(), out_.data() + out_.size());
    return out_.empty() ? traits_type::eof() : traits_type::to_int_type(out_.front());
}

}  // namespace flakecoat::preview
