#include "image/pendingOutput.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flakecoat::preview {

namespace {

// Whether the file's permission bits let this process write it. The
// superuser may write anything, but a file it cannot write by its bits is
// as read-only to it as to anyone: it is not replaced either.
bool permitsWriting(const std::string& path, const struct stat& status) {
    if (geteuid() != 0) return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
    if (status.st_uid == 0) return status.st_mode & S_IWUSR;
    if (status.st_gid == 0) return status.st_mode & S_IWGRP;
    return status.st_mode & S_IWOTH;
}

// Why an existing file at path must not be replaced, or "" when it may be
// (or nothing is there).
std::string replacementRefusal(const std::string& path) {
    struct stat status;
    if (path.empty() || path.back() == '/') return "it names a directory";
    if (lstat(path.c_str(), &status) != 0) return "";
    if (S_ISLNK(status.st_mode))
        return "it is a symbolic link, which is not followed or replaced; name the file itself or remove the link";
    if (S_ISDIR(status.st_mode)) return "it names a directory";
    if (!S_ISREG(status.st_mode)) return "it is not a regular file";
    if (!permitsWriting(path, status)) return "the file is read-only; it is not replaced";
    return "";
}

}  // namespace

bool PendingOutput::open(const std::string& finalPath, std::string& error) {
    discard();
    const std::string refusal = replacementRefusal(finalPath);
    if (!refusal.empty()) {
        error = "cannot write " + finalPath + ": " + refusal;
        return false;
    }
    const std::string::size_type slash = finalPath.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : finalPath.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
    std::string pattern = (slash == std::string::npos ? std::string() : directory) + "." + base + ".tmp-XXXXXX";

    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "cannot write " + finalPath + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp creates the file private to its owner; give it the permissions
    // an ordinary new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    finalPath_ = finalPath;
    temporaryPath_ = name.data();
    return true;
}

bool PendingOutput::commit(std::string& error) {
    if (temporaryPath_.empty()) {
        error = "cannot write " + finalPath_ + ": nothing was written";
        return false;
    }
    // Checked again: the file may have appeared while the image was made.
    const std::string refusal = replacementRefusal(finalPath_);
    if (!refusal.empty()) {
        error = "cannot write " + finalPath_ + ": " + refusal;
        discard();
        return false;
    }
    if (std::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
        error = "cannot write " + finalPath_ + ": " + std::strerror(errno);
        discard();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

namespace {

// "a", "a and b", "a, b and c"
std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

}  // namespace

bool commitTogether(std::vector<std::unique_ptr<PendingOutput>>& outputs, std::string& error) {
    // Check every destination first
    for (const auto& output : outputs) {
        std::string refusal = output->temporaryPath_.empty() ? "nothing was written"
                                                             : replacementRefusal(output->finalPath_);
        if (!refusal.empty()) {
            error = "cannot write " + output->finalPath_ + ": " + refusal;
            if (outputs.size() > 1) error += "; no file was written";
            for (auto& other : outputs) other->discard();
            return false;
        }
    }
    // Then move them into place
    std::vector<std::string> written;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        PendingOutput& output = *outputs[i];
        if (std::rename(output.temporaryPath_.c_str(), output.finalPath_.c_str()) != 0) {
            error = "cannot write " + output.finalPath_ + ": " + std::strerror(errno);
            std::vector<std::string> notWritten;
            for (std::size_t k = i; k < outputs.size(); ++k) {
                notWritten.push_back(outputs[k]->finalPath_);
                outputs[k]->discard();
            }
            if (!written.empty())
                error += " (" + listed(written) + (written.size() == 1 ? " was" : " were") + " written; " +
                         listed(notWritten) + (notWritten.size() == 1 ? " was" : " were") + " not)";
            return false;
        }
        output.temporaryPath_.clear();
        written.push_back(output.finalPath_);
    }
    return true;
}

void PendingOutput::discard() {
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

}  // namespace flakecoat::preview
