#include <maya/MStatus.h>

#include <cstdio>

#include <maya/MString.h>

namespace {

const char* statusText(MS::MStatusCode code) {
    switch (code) {
        case MS::kSuccess: return "Success";
        case MS::kFailure: return "Failure";
        case MS::kInsufficientMemory: return "Insufficient memory";
        case MS::kInvalidParameter: return "Invalid parameter";
        case MS::kLicenseFailure: return "License failure";
        case MS::kUnknownParameter: return "Unknown parameter";
        case MS::kNotImplemented: return "Not implemented";
        case MS::kNotFound: return "Not found";
        case MS::kEndOfFile: return "End of file";
    }
    return "Unknown status";
}

}  // namespace

MString MStatus::errorString() const { return MString(statusText(code_)); }

void MStatus::perror(const MString& prefix) const { perror(prefix.asChar()); }

void MStatus::perror(const char* prefix) const {
    if (prefix && *prefix)
        std::fprintf(stderr, "%s: %s\n", prefix, statusText(code_));
    else
        std::fprintf(stderr, "%s\n", statusText(code_));
    std::fflush(stderr);
}
