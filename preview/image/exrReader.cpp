// The environment reader: OpenEXR behind a header check and strip-wise
// reading, so neither a crafted header nor a large image can make it
// allocate more than the bound allows.

#include "image/exrReader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include <Iex.h>
#include <ImfHeader.h>
#include <ImfIO.h>
#include <ImfRgbaFile.h>

namespace flakecoat::preview {

namespace {

// Rows read at a time: the half-float strip stays small beside the image.
constexpr int kStripRows = 64;

// An EXR file's bytes already in memory, read in place: OpenEXR then takes
// a chunk's bytes from here instead of allocating the size its header
// claims (a crafted file may claim gigabytes).
class MemoryStream : public Imf::IStream {
public:
    MemoryStream(const char* data, std::size_t size, const std::string& name)
        : Imf::IStream(name.c_str()), data_(data), size_(size) {}

    bool read(char c[], int n) override {
        std::memcpy(c, take(n), std::size_t(n));
        return position_ < size_;
    }
    bool isMemoryMapped() const override { return true; }
    char* readMemoryMapped(int n) override { return const_cast<char*>(take(n)); }
    std::uint64_t tellg() override { return position_; }
    void seekg(std::uint64_t position) override { position_ = std::min<std::uint64_t>(position, size_); }

private:
    const char* take(int n) {
        if (n < 0 || std::uint64_t(n) > size_ - position_) throw Iex::InputExc("unexpected end of file");
        const char* bytes = data_ + position_;
        position_ += std::uint64_t(n);
        return bytes;
    }

    const char* data_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
};

// Reads a NUL-terminated header string of at most 255 characters.
bool readHeaderString(std::istream& in, std::string& text) {
    text.clear();
    for (char c; in.get(c);) {
        if (c == '\0') return true;
        if (text.size() == 255) return false;
        text.push_back(c);
    }
    return false;
}

std::int32_t littleEndian32(const unsigned char* bytes) {
    return std::int32_t(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
                        std::uint32_t(bytes[3]) << 24);
}

// The first part's data window as the header gives it, when it gives one.
struct HeaderWindow {
    bool found = false;
    std::int64_t width = 0, height = 0;
};

// The bytes OpenEXR reads for a value of a type it reads field by field,
// whatever size the attribute gives; 0 for types read by their given size.
std::uint32_t fixedValueSize(const std::string& type) {
    static const std::pair<const char*, std::uint32_t> kSizes[] = {
        {"box2i", 16},   {"box2f", 16},          {"v2i", 8},          {"v2f", 8},         {"v2d", 16},
        {"v3i", 12},     {"v3f", 12},            {"v3d", 24},         {"m33f", 36},       {"m33d", 72},
        {"m44f", 64},    {"m44d", 128},          {"float", 4},        {"double", 8},      {"int", 4},
        {"envmap", 1},   {"compression", 1},     {"lineOrder", 1},    {"tiledesc", 9},    {"rational", 8},
        {"keycode", 28}, {"chromaticities", 32}, {"deepImageState", 1}, {"timecode", 8}};
    for (const auto& [name, size] : kSizes)
        if (type == name) return size;
    return 0;
}

// Walks the header's attributes (name, type, 32-bit size, value) as OpenEXR
// reads them, and checks that each value fits in what is left of the file.
// OpenEXR allocates a value's size before it finds the file too short, so
// a few crafted bytes could otherwise claim gigabytes. It reads a channel
// list up to its empty name and a fixed-size value by its type, whatever
// size the attribute claims; so does this walk, or a crafted file would
// lead the two apart. Notes the data window on the way, so that its size is
// checked against the bound here, in our words, before OpenEXR applies its
// own limits.
bool attributesFit(std::istream& in, std::uint64_t fileSize, std::string& problem, HeaderWindow& window) {
    char start[8];
    if (!in.read(start, 8)) {
        problem = "too short for an EXR file";
        return false;
    }
    const bool multipart = (static_cast<unsigned char>(start[5]) & 0x10) != 0;  // bit 12 of the version
    for (bool emptyHeader = false; !emptyHeader;) {
        emptyHeader = true;
        for (std::string name, type; readHeaderString(in, name) && !name.empty();) {
            emptyHeader = false;
            unsigned char size[4];
            if (!readHeaderString(in, type) || !in.read(reinterpret_cast<char*>(size), 4)) break;
            // Every claim must fit, the sizes OpenEXR goes by as well
            const std::uint64_t claimed = std::uint32_t(littleEndian32(size));
            std::uint64_t value = fixedValueSize(type) ? fixedValueSize(type) : claimed;
            const std::uint64_t left = fileSize - std::min(std::uint64_t(in.tellg()), fileSize);
            if (type == "preview") {
                unsigned char sides[8];
                if (!in.read(reinterpret_cast<char*>(sides), 8)) break;
                value = 8 + std::uint64_t(std::uint32_t(littleEndian32(sides))) *
                                std::uint64_t(std::uint32_t(littleEndian32(sides + 4))) * 4;
                in.seekg(-8, std::ios::cur);
            }
            if (claimed > left || value > left) {
                problem = "header attribute '" + name + "' claims " + std::to_string(std::max(claimed, value)) +
                          " bytes, more than the file holds";
                return false;
            }
            if (type == "chlist") {
                // Channels up to an empty name, each described in 16 bytes
                for (std::string channel; readHeaderString(in, channel) && !channel.empty();)
                    in.seekg(16, std::ios::cur);
                continue;
            }
            unsigned char box[16];
            if (!window.found && name == "dataWindow" && type == "box2i" &&
                in.read(reinterpret_cast<char*>(box), sizeof box)) {
                window.found = true;
                window.width = std::int64_t(littleEndian32(box + 8)) - littleEndian32(box) + 1;
                window.height = std::int64_t(littleEndian32(box + 12)) - littleEndian32(box + 4) + 1;
                continue;
            }
            in.seekg(std::streamoff(value), std::ios::cur);
        }
        if (!multipart) break;
    }
    // A header cut short is left for OpenEXR to report.
    return true;
}

// OpenEXR refuses, while reading the header, a data window wider or taller
// than this, before it sizes its tables of line and tile offsets by it. The
// limits are the whole process's and bind its EXR writing too, so they hold
// only while a file is read; 0 is OpenEXR's own "unlimited".
class HeaderSizeLimits {
public:
    explicit HeaderSizeLimits(std::uint64_t maxPixels) {
        const int side = int(std::min<std::uint64_t>(maxPixels, INT_MAX));
        Imf::Header::setMaxImageSize(side, side);
        Imf::Header::setMaxTileSize(side, side);
    }
    ~HeaderSizeLimits() {
        Imf::Header::setMaxImageSize(0, 0);
        Imf::Header::setMaxTileSize(0, 0);
    }
    HeaderSizeLimits(const HeaderSizeLimits&) = delete;
    HeaderSizeLimits& operator=(const HeaderSizeLimits&) = delete;
};

bool windowWithinBound(const std::string& name, std::int64_t width, std::int64_t height, std::uint64_t maxPixels,
                       std::string& error) {
    if (width < 2 || height < 1) {
        error = name + ": an environment image needs at least 2 x 1 pixels";
        return false;
    }
    // Each side is below 2^33, so the product stays within 64 bits
    if (std::uint64_t(width) * std::uint64_t(height) > maxPixels) {
        error = name + ": " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is over the bound of " + std::to_string(maxPixels) +
                " pixels for an environment (--max-env-pixels raises it)";
        return false;
    }
    return true;
}

bool readOpenFile(Imf::RgbaInputFile& file, const std::string& name, std::uint64_t maxPixels, LatLongImage& image,
                  std::string& error) {
    // The data window's size, in 64 bits: a corrupt header may give any corners
    const Imath::Box2i window = file.dataWindow();
    const std::int64_t width = std::int64_t(window.max.x) - window.min.x + 1;
    const std::int64_t height = std::int64_t(window.max.y) - window.min.y + 1;
    if (!windowWithinBound(name, width, height, maxPixels, error)) return false;

    LatLongImage read;
    read.width = int(width);
    read.height = int(height);
    read.rgb.resize(std::size_t(width) * std::size_t(height) * 3);
    std::vector<Imf::Rgba> strip(std::size_t(width) * kStripRows);
    for (std::int64_t top = 0; top < height; top += kStripRows) {
        const std::int64_t rows = std::min<std::int64_t>(kStripRows, height - top);
        const std::int64_t firstY = window.min.y + top;
        // OpenEXR finds pixel (x, y) at base + x + y * width. The base that
        // puts (min.x, firstY) at the strip's start can lie far outside the
        // strip, so it is computed in unsigned (wrapping) arithmetic.
        const std::uint64_t offset = std::uint64_t(std::int64_t(window.min.x) + firstY * width) * sizeof(Imf::Rgba);
        auto* base = reinterpret_cast<Imf::Rgba*>(reinterpret_cast<std::uintptr_t>(strip.data()) - offset);
        file.setFrameBuffer(base, 1, std::size_t(width));
        file.readPixels(int(firstY), int(firstY + rows - 1));

        for (std::int64_t row = 0; row < rows; ++row) {
            for (std::int64_t x = 0; x < width; ++x) {
                const Imf::Rgba& p = strip[std::size_t(row * width + x)];
                float* out = &read.rgb[(std::size_t(top + row) * std::size_t(width) + std::size_t(x)) * 3];
                out[0] = float(p.r);
                out[1] = float(p.g);
                out[2] = float(p.b);
                if (!std::isfinite(out[0]) || !std::isfinite(out[1]) || !std::isfinite(out[2])) {
                    error = name + ": pixel (" + std::to_string(x) + ", " + std::to_string(top + row) +
                            ") is not a finite colour";
                    return false;
                }
            }
        }
    }
    image = std::move(read);
    return true;
}

// The header's attributes checked, then the file opened by openFile under
// the bound and read.
template <typename OpenFile>
bool readChecked(std::istream& header, std::uint64_t fileSize, const std::string& name, std::uint64_t maxPixels,
                 LatLongImage& image, std::string& error, OpenFile openFile) {
    try {
        std::string problem;
        HeaderWindow window;
        if (!attributesFit(header, fileSize, problem, window)) {
            error = "cannot read EXR " + name + ": " + problem;
            return false;
        }
        if (window.found && !windowWithinBound(name, window.width, window.height, maxPixels, error)) return false;
        const HeaderSizeLimits limits(maxPixels);
        const std::unique_ptr<Imf::RgbaInputFile> file = openFile();
        return readOpenFile(*file, name, maxPixels, image, error);
    } catch (const std::bad_alloc&) {
        error = "cannot read EXR " + name + ": out of memory";
    } catch (const std::exception& e) {
        error = "cannot read EXR " + name + ": " + e.what();
    }
    return false;
}

}  // namespace

bool readLatLongExr(const std::string& path, LatLongImage& image, std::string& error, std::uint64_t maxPixels) {
    std::ifstream header(path, std::ios::binary | std::ios::ate);
    if (!header) {
        error = "cannot read EXR " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::uint64_t fileSize = std::uint64_t(header.tellg());
    header.seekg(0);
    return readChecked(header, fileSize, path, maxPixels, image, error,
                       [&] { return std::make_unique<Imf::RgbaInputFile>(path.c_str()); });
}

bool readLatLongExrBytes(const char* data, std::size_t size, const std::string& name, LatLongImage& image,
                         std::string& error, std::uint64_t maxPixels) {
    std::istringstream header(std::string(data, size));
    MemoryStream stream(data, size, name);
    return readChecked(header, size, name, maxPixels, image, error,
                       [&] { return std::make_unique<Imf::RgbaInputFile>(stream); });
}

}  // namespace flakecoat::preview
