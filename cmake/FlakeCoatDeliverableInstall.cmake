# The deliverables' install trees (see FlakeCoatInstallDirs.cmake), for
# whichever of the two this build makes.

if(TARGET flakeCoat)
  # The Maya module tree: the host resolves the plug-in's libraries itself.
  install(FILES plugSource/flakeCoat.mod DESTINATION ${FLAKECOAT_INSTALL_MAYA_MODULE_DIR} COMPONENT maya)
  install(TARGETS flakeCoat LIBRARY DESTINATION ${FLAKECOAT_INSTALL_MAYA_MODULE_DIR}/plug-ins COMPONENT maya)
  install(FILES plugSource/scripts/AEflakeCoatTemplate.mel
          DESTINATION ${FLAKECOAT_INSTALL_MAYA_MODULE_DIR}/scripts COMPONENT maya)
endif()

if(TARGET tarn_flakeCoat)
  # The mental ray tree: the declaration in include/ beside the library in lib/.
  install(TARGETS tarn_flakeCoat LIBRARY DESTINATION ${FLAKECOAT_INSTALL_MENTALRAY_DIR}/lib COMPONENT mentalray)
  install(FILES mentalray/tarn_flakeCoat.mi DESTINATION ${FLAKECOAT_INSTALL_MENTALRAY_DIR}/include
          COMPONENT mentalray)
endif()
