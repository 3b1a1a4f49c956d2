#ifndef FLAKECOAT_PREVIEW_IMAGE_PENDING_OUTPUT_H
#define FLAKECOAT_PREVIEW_IMAGE_PENDING_OUTPUT_H

// An output file that appears under its name only when complete. It is
// written under a hidden temporary name in the same directory (so the final
// rename stays on one file system and is atomic) and renamed by commit();
// destroying it uncommitted removes the temporary file.
//
// An existing file is replaced only when it is a regular file this process
// may write by its permission bits: a read-only file, a symbolic link (the
// rename would replace the link, not the file it points to), a directory or
// a device is refused, both when opening and again when committing.

#include <memory>
#include <string>
#include <vector>

namespace flakecoat::preview {

class PendingOutput {
public:
    PendingOutput() = default;
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    ~PendingOutput() { discard(); }

    // Creates the temporary file; on failure error names the final path and
    // the reason (a missing directory, no permission, a file that may not
    // be replaced).
    bool open(const std::string& finalPath, std::string& error);
    const std::string& temporaryPath() const { return temporaryPath_; }
    const std::string& finalPath() const { return finalPath_; }

    bool commit(std::string& error);
    void discard();

private:
    friend bool commitTogether(std::vector<std::unique_ptr<PendingOutput>>& outputs, std::string& error);
    std::string finalPath_;
    std::string temporaryPath_;
};

// Commits outputs that belong together (one render's images): every
// destination is checked before any is renamed, so a refusal leaves all of
// them as they were. Should a rename still fail, error names the file and
// says which files were written and which were not; the rest are discarded.
bool commitTogether(std::vector<std::unique_ptr<PendingOutput>>& outputs, std::string& error);

}  // namespace flakecoat::preview

#endif
