#include "image/imageWriter.h"

#include <algorithm>
#include <cctype>

#include "image/pendingOutput.h"

namespace flakecoat::preview {

namespace {
std::string lowerExtension(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    const std::string::size_type dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}
}  // namespace

std::unique_ptr<ImageWriter> imageWriterFor(const std::string& path, const ViewTransform& view,
                                            std::string& error) {
    const std::string extension = lowerExtension(path);
    if (extension == ".png") return makePngWriter(view);
    if (extension == ".exr") return makeExrWriter();
    error = "cannot write " + path + ": the file name must end in .png or .exr";
    return nullptr;
}

bool writeImageFile(const std::string& path, const Framebuffer& image, const ViewTransform& view,
                    std::string& error) {
    const std::unique_ptr<ImageWriter> writer = imageWriterFor(path, view, error);
    if (!writer) return false;
    PendingOutput output;
    if (!output.open(path, error)) return false;
    std::string reason;
    if (!writer->write(output.temporaryPath(), image, reason)) {
        error = "cannot write " + path + ": " + reason;
        return false;
    }
    return output.commit(error);
}

}  // namespace flakecoat::preview
