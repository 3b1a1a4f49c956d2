# Writes a C++ source holding the viewer's page files as byte arrays, run at
# build time: cmake -DOUTPUT=file.cpp "-DFILES=a.html|b.js" -P EmbedPageFiles.cmake
# Each file is served at /<its name>; the content type follows the extension.
string(REPLACE "|" ";" FILES "${FILES}")
set(entries "")
set(arrays "")
set(index 0)
foreach(path IN LISTS FILES)
  get_filename_component(name "${path}" NAME)
  get_filename_component(extension "${path}" LAST_EXT)
  if(extension STREQUAL ".html")
    set(type "text/html; charset=utf-8")
  elseif(extension STREQUAL ".js")
    set(type "text/javascript; charset=utf-8")
  elseif(extension STREQUAL ".css")
    set(type "text/css; charset=utf-8")
  elseif(extension STREQUAL ".png")
    set(type "image/png")
  else()
    message(FATAL_ERROR "${path}: no content type for '${extension}'")
  endif()
  file(READ "${path}" bytes HEX)
  string(LENGTH "${bytes}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(APPEND arrays "const unsigned char kFile${index}[] = {${bytes}0};\n")
  string(APPEND entries "        {\"/${name}\", \"${type}\", {reinterpret_cast<const char*>(kFile${index}), ${size}}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Generated from preview/view/page/ by cmake/EmbedPageFiles.cmake.
#include \"view/pageFiles.h\"

namespace flakecoat::preview::view {

namespace {
${arrays}}  // namespace

const std::vector<PageFile>& pageFiles() {
    static const std::vector<PageFile> kFiles = {
${entries}    };
    return kFiles;
}

}  // namespace flakecoat::preview::view
")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
