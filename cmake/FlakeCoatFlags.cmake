# Compiler flags shared by every target.
#
# Floating point is part of the shading contract: results are specified
# operation by operation in single precision, so the compiler must not
# change how they round.
#   -ffp-contract=off  no fused multiply-add: a*b+c must round twice.
#   (no -ffast-math)   it reorders sums, drops NaN/Inf handling and
#                      replaces divisions by reciprocals.
#   (no -march=native) keeps the binaries identical on every x86-64 machine
#                      and the shading results with them.
# These go on every target, not just the shading ones: a tool or test that
# recomputes a reference value must round the same way.
add_compile_options(-ffp-contract=off)

# One warnings target that every project target links.
add_library(flakecoat_warnings INTERFACE)
target_compile_options(flakecoat_warnings INTERFACE -Wall -Wextra)
if(FLAKECOAT_WERROR)
  target_compile_options(flakecoat_warnings INTERFACE -Werror)
endif()

if(FLAKECOAT_SANITIZE AND FLAKECOAT_TSAN)
  message(FATAL_ERROR "FLAKECOAT_SANITIZE and FLAKECOAT_TSAN cannot be combined")
endif()
if(FLAKECOAT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(FLAKECOAT_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Plug-in modules are loaded with dlopen by their host: no "lib" prefix,
# symbols resolved at load time so a missing host symbol fails loudly. On
# Windows they keep the platform's ".dll".
function(flakecoat_plugin_module target)
  set_target_properties(${target} PROPERTIES PREFIX "")
  if(NOT WIN32)
    set_target_properties(${target} PROPERTIES SUFFIX ".so")
  endif()
  target_link_options(${target} PRIVATE -Wl,--no-undefined)
endfunction()
