#ifndef FLAKECOAT_HOST_MAYA_MSTATUS_H
#define FLAKECOAT_HOST_MAYA_MSTATUS_H

class MString;

// Status codes of the Maya API; the values are the host's own.
namespace MS {
enum MStatusCode {
    kSuccess = 0,
    kFailure = 1,
    kInsufficientMemory = 2,
    kInvalidParameter = 3,
    kLicenseFailure = 4,
    kUnknownParameter = 5,
    kNotImplemented = 6,
    kNotFound = 7,
    kEndOfFile = 8
};
}  // namespace MS

class MStatus {
public:
    MStatus() = default;
    MStatus(MS::MStatusCode code) : code_(code) {}

    MS::MStatusCode statusCode() const { return code_; }
    bool error() const { return code_ != MS::kSuccess; }
    explicit operator bool() const { return code_ == MS::kSuccess; }
    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator==(MS::MStatusCode code) const { return code_ == code; }
    bool operator!=(MS::MStatusCode code) const { return code_ != code; }

    // The host's text for this status ("Success", "Failure", ...).
    MString errorString() const;
    // Prints "<prefix>: <errorString>\n" (or just the text for an empty
    // prefix) on standard error.
    void perror(const MString& prefix) const;
    void perror(const char* prefix = "") const;

private:
    MS::MStatusCode code_ = MS::kSuccess;
};

#endif
