#ifndef FLAKECOAT_HOST_MAYA_MSTRING_H
#define FLAKECOAT_HOST_MAYA_MSTRING_H

#include <string>

// The host's string: 8-bit characters, owned by value.
class MString {
public:
    MString();
    MString(const char* text);
    MString(const char* text, int length);
    MString(const MString& other);
    MString& operator=(const MString& other);
    MString& operator=(const char* text);
    ~MString();

    MString& operator+=(const MString& other);
    MString& operator+=(const char* text);
    MString operator+(const MString& other) const;
    MString operator+(const char* text) const;
    bool operator==(const MString& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const MString& other) const;
    bool operator!=(const char* text) const;

    // NUL-terminated characters, valid while the string is unchanged.
    const char* asChar() const;
    unsigned int length() const;

private:
    std::string text_;
};

#endif
