# The compile definitions the hosts' devkits give a plug-in build. The Maya
# headers choose their platform by them (NT_PLUGIN, or the GNU-mode macro
# linux, which a strict ISO build lacks and so gets here). MinGW reads the
# headers' _declspec as its own __declspec.
function(flakecoat_maya_devkit_definitions target scope)
  if(WIN32)
    target_compile_definitions(${target} ${scope} NT_PLUGIN _BOOL REQUIRE_IOSTREAM)
    if(MINGW)
      target_compile_definitions(${target} ${scope} _declspec=__declspec)
    endif()
  else()
    target_compile_definitions(${target} ${scope} LINUX _BOOL REQUIRE_IOSTREAM Bits64_ UNIX _GNU_SOURCE LINUX_64
                               linux)
    target_compile_options(${target} ${scope} -fPIC)
  endif()
endfunction()

# What a Maya plug-in module exports: initializePlugin and
# uninitializePlugin (C++ functions, found by their C++ names on Linux and by
# their plain names on Windows, where a module-definition file gives them)
# and MApiVersion. The plug-in's other symbols stay hidden on Linux, but the
# headers' PLUGIN_EXPORT adds nothing there, so the one source holding the
# entry points is compiled with default visibility and a version script
# keeps the exports to those three.
function(flakecoat_maya_plugin_exports target entry_source)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/plugSource/flakeCoat.def)
  else()
    set_source_files_properties(${entry_source} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS
                                -fvisibility=default)
    target_link_options(${target} PRIVATE -Wl,--version-script=${PROJECT_SOURCE_DIR}/plugSource/flakeCoat.map)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/plugSource/flakeCoat.map)
  endif()
endfunction()
