# What the Windows build adds to the Linux one. Included from the top level
# when the toolchain targets Windows (cmake/mingw-w64-x86_64.cmake).

# The host stand-ins and the tests load modules the POSIX way (dlopen,
# dlsym); on Windows a small header maps that onto the loader. The
# deliverables never use it: their lookup is GetProcAddress itself.
include_directories(BEFORE ${PROJECT_SOURCE_DIR}/host/windowsCompat)

# M_PI and its companions, which glibc's headers always declare.
add_compile_definitions(_USE_MATH_DEFINES)

# CLI11 and nlohmann-json are header-only: the tool uses the build machine's
# copies. Only their own folders are put on the include path; the rest of
# /usr/include holds the build machine's C library.
function(flakecoat_header_only_package package target header_folder)
  set(root ${CMAKE_BINARY_DIR}/header-only/${package})
  file(MAKE_DIRECTORY ${root}/include)
  file(CREATE_LINK /usr/include/${header_folder} ${root}/include/${header_folder} SYMBOLIC)
  file(WRITE ${root}/${package}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root}/include)\n"
       "endif()\n")
  set(${package}_DIR ${root} CACHE PATH "Header-only ${package} for the Windows build" FORCE)
endfunction()
flakecoat_header_only_package(CLI11 CLI11::CLI11 CLI)
flakecoat_header_only_package(nlohmann_json nlohmann_json::nlohmann_json nlohmann)
