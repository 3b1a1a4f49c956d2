#include "image/pendingOutput.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flakecoat::preview {

bool PendingOutput::open(const std::string& finalPath, std::string& error) {
    discard();
    struct stat status;
    if (finalPath.empty() || finalPath.back() == '/' ||
        (stat(finalPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode))) {
        error = "cannot write " + finalPath + ": it names a directory";
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
    if (std::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
        error = "cannot write " + finalPath_ + ": " + std::strerror(errno);
        discard();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

void PendingOutput::discard() {
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

}  // namespace flakecoat::preview
