# Install rules and packages (.deb and .tar.gz); the layout is described in
# FlakeCoatInstallDirs.cmake.

# The tool: its stand-in libraries through a run path relative to itself.
install(TARGETS flakecoat RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
set_target_properties(flakecoat PROPERTIES INSTALL_RPATH "$ORIGIN/${FLAKECOAT_BIN_TO_PRIVATE}")

# The host stand-ins, private to the tool; they find each other beside themselves.
install(TARGETS Foundation OpenMaya OpenMayaRender mentalray_standin
        LIBRARY DESTINATION ${FLAKECOAT_INSTALL_PRIVATE_DIR} COMPONENT tool)
set_target_properties(Foundation OpenMaya OpenMayaRender mentalray_standin PROPERTIES INSTALL_RPATH "$ORIGIN")

# The shipped looks, in the tool's private folder beside the libraries.
install(DIRECTORY looks/ DESTINATION ${FLAKECOAT_INSTALL_PRIVATE_DIR}/looks COMPONENT tool
        FILES_MATCHING PATTERN "*.json")

# The Maya module tree: the host resolves the plug-in's libraries itself.
if(TARGET flakeCoat)
  install(FILES plugSource/flakeCoat.mod DESTINATION ${FLAKECOAT_INSTALL_MAYA_MODULE_DIR} COMPONENT maya)
  install(TARGETS flakeCoat LIBRARY DESTINATION ${FLAKECOAT_INSTALL_MAYA_MODULE_DIR}/plug-ins COMPONENT maya)
  install(FILES plugSource/scripts/AEflakeCoatTemplate.mel
          DESTINATION ${FLAKECOAT_INSTALL_MAYA_MODULE_DIR}/scripts COMPONENT maya)
endif()

# The mental ray tree: the declaration in include/ beside the library in lib/.
install(TARGETS tarn_flakeCoat LIBRARY DESTINATION ${FLAKECOAT_INSTALL_MENTALRAY_DIR}/lib COMPONENT mentalray)
install(FILES mentalray/tarn_flakeCoat.mi DESTINATION ${FLAKECOAT_INSTALL_MENTALRAY_DIR}/include
        COMPONENT mentalray)

# The documentation keeps its relative links: README.md beside docs/.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT doc)
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs COMPONENT doc)

set(CPACK_PACKAGE_NAME flakecoat)
set(CPACK_PACKAGE_VENDOR "flakeCoat maintainers")
set(CPACK_PACKAGE_CONTACT "flakeCoat maintainers <maintainers@users.noreply.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Clear-coated metallic-flake car-paint shader for Maya and mental ray, with preview tool")
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Dependencies from the libraries the binaries link; the stand-ins are ours.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
set(CPACK_STRIP_FILES OFF)
include(CPack)
