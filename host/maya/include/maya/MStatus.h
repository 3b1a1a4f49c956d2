#ifndef FLAKECOAT_HOST_MAYA_MSTATUS_H
#define FLAKECOAT_HOST_MAYA_MSTATUS_H

class MString;

class MStatus {
public:
    // Status codes of the Maya API; the values are the host's own.
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

    MStatus() = default;
    MStatus(MStatusCode code) : code_(code) {}

    MStatusCode statusCode() const { return code_; }
    bool error() const { return code_ != kSuccess; }
    // True for success.
    operator bool() const { return code_ == kSuccess; }
    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(MStatusCode code) const { return code_ != code; }

    // The host's text for this status ("Success", "Failure", ...).
    MString errorString() const;
    // Prints "<prefix>: <errorString>\n" (or just the text for an empty
    // prefix) on standard error.
    void perror(const MString& prefix) const;
    void perror(const char* prefix = "") const;

private:
    MStatusCode code_ = kSuccess;
};

// The short name the API's own code uses: MS::kSuccess.
typedef MStatus MS;

#endif
