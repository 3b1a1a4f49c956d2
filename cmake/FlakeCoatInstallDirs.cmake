# Where `cmake --install` puts things, relative to the prefix (GNUInstallDirs).
#
#   bin/flakecoat                                   the tool
#   <libdir>/flakecoat/                             the host stand-ins' libraries (private)
#   <libdir>/flakecoat/looks/                       the shipped looks (NAME.json)
#   <libdir>/flakecoat/maya/                        a Maya module: flakeCoat.mod,
#                                                   plug-ins/flakeCoat.so, scripts/AEflakeCoatTemplate.mel
#   <libdir>/flakecoat/mentalray/                   lib/tarn_flakeCoat.so, include/tarn_flakeCoat.mi
#   <docdir>/                                       README.md and docs/
#
# The tool finds the libraries by paths relative to its own directory, so
# the installed tree can be moved as a whole.
include(GNUInstallDirs)

set(FLAKECOAT_INSTALL_PRIVATE_DIR ${CMAKE_INSTALL_LIBDIR}/flakecoat)
set(FLAKECOAT_INSTALL_MAYA_MODULE_DIR ${FLAKECOAT_INSTALL_PRIVATE_DIR}/maya)
set(FLAKECOAT_INSTALL_MENTALRAY_DIR ${FLAKECOAT_INSTALL_PRIVATE_DIR}/mentalray)

# Relative paths from the installed bin directory.
function(flakecoat_path_from_bin out destination)
  file(RELATIVE_PATH relative ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${destination})
  set(${out} ${relative} PARENT_SCOPE)
endfunction()
flakecoat_path_from_bin(FLAKECOAT_BIN_TO_PRIVATE ${FLAKECOAT_INSTALL_PRIVATE_DIR})
flakecoat_path_from_bin(FLAKECOAT_BIN_TO_MAYA_PLUGINS ${FLAKECOAT_INSTALL_MAYA_MODULE_DIR}/plug-ins)
flakecoat_path_from_bin(FLAKECOAT_BIN_TO_MENTALRAY_LIB ${FLAKECOAT_INSTALL_MENTALRAY_DIR}/lib)
flakecoat_path_from_bin(FLAKECOAT_BIN_TO_MENTALRAY_INCLUDE ${FLAKECOAT_INSTALL_MENTALRAY_DIR}/include)
