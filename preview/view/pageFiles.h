#ifndef FLAKECOAT_PREVIEW_VIEW_PAGE_FILES_H
#define FLAKECOAT_PREVIEW_VIEW_PAGE_FILES_H

// The viewer's page, script and style, built into the program from
// preview/view/page/ so that the server can serve nothing else.

#include <string_view>
#include <vector>

namespace flakecoat::preview::view {

struct PageFile {
    std::string_view path;         // "/viewer.js"; the page itself is "/index.html"
    std::string_view contentType;
    std::string_view body;
};

const std::vector<PageFile>& pageFiles();

}  // namespace flakecoat::preview::view

#endif
