# A build of the deliverables alone against the hosts' own development files
# instead of the stand-ins:
#   -DMAYA_LOCATION=DIR          flakeCoat from DIR/include/maya/*.h, linked
#                                against DIR/lib's Foundation, OpenMaya and
#                                OpenMayaRender
#   -DMENTALRAY_INCLUDE_DIR=DIR  tarn_flakeCoat from DIR/shader.h
# Only the named deliverables and their install are configured: the tools
# and tests need the stand-ins.

if(MAYA_LOCATION)
  if(NOT EXISTS ${MAYA_LOCATION}/include/maya/MFnPlugin.h)
    message(FATAL_ERROR "MAYA_LOCATION=${MAYA_LOCATION}: no include/maya/MFnPlugin.h there")
  endif()
  add_library(maya_devkit_definitions INTERFACE)
  flakecoat_maya_devkit_definitions(maya_devkit_definitions INTERFACE)
  foreach(library Foundation OpenMaya OpenMayaRender)
    find_library(MAYA_${library}_LIBRARY ${library} PATHS ${MAYA_LOCATION}/lib NO_DEFAULT_PATH)
    if(NOT MAYA_${library}_LIBRARY)
      message(FATAL_ERROR "MAYA_LOCATION=${MAYA_LOCATION}: no ${library} library in lib/")
    endif()
    add_library(${library} UNKNOWN IMPORTED)
    set_target_properties(${library} PROPERTIES IMPORTED_LOCATION ${MAYA_${library}_LIBRARY}
                          INTERFACE_INCLUDE_DIRECTORIES ${MAYA_LOCATION}/include)
    target_link_libraries(${library} INTERFACE maya_devkit_definitions)
  endforeach()
  # What the shading core reaches of the host: the vector types, and the
  # generator's declarations (and on Windows its library).
  add_library(maya_vector_types INTERFACE)
  target_include_directories(maya_vector_types INTERFACE ${MAYA_LOCATION}/include)
  target_link_libraries(maya_vector_types INTERFACE maya_devkit_definitions)
  add_library(maya_random INTERFACE)
  target_include_directories(maya_random INTERFACE ${MAYA_LOCATION}/include)
  target_link_libraries(maya_random INTERFACE maya_devkit_definitions)
  if(WIN32)
    target_link_libraries(maya_random INTERFACE Foundation)
  endif()
  add_subdirectory(core)
  add_subdirectory(plugSource)
endif()

if(MENTALRAY_INCLUDE_DIR)
  if(NOT EXISTS ${MENTALRAY_INCLUDE_DIR}/shader.h)
    message(FATAL_ERROR "MENTALRAY_INCLUDE_DIR=${MENTALRAY_INCLUDE_DIR}: no shader.h there")
  endif()
  add_library(mentalray_shader_header INTERFACE)
  target_include_directories(mentalray_shader_header INTERFACE ${MENTALRAY_INCLUDE_DIR})
  if(NOT TARGET flakecoat_optics)
    add_library(flakecoat_optics INTERFACE)
    target_include_directories(flakecoat_optics INTERFACE ${PROJECT_SOURCE_DIR}/core)
  endif()
  add_subdirectory(mentalray)
endif()

include(cmake/FlakeCoatDeliverableInstall.cmake)
