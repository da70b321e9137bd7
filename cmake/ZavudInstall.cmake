# Where everything goes when installed, the CMake package and pkg-config file
# for host makers, and the Debian packages (cpack -G DEB); on Windows the DLLs
# the programs need beside them, and the components scripts/package-windows.sh
# makes the installer and the developer archive of. Only with
# ZAVUD_INSTALL: a project that adds this one as a subproject installs and
# packages nothing of it.
#
# The build tree mirrors the installed layout (each target's own folder sets
# its output folder), so the reference host finds the plug-in relative to its
# own location in both, and no build path is compiled into it.
include(CMakePackageConfigHelpers)

set(ZAVUD_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/zavud_pri_rivezavode)
set(ZAVUD_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/zavud_pri_rivezavode)
set(ZAVUD_DATADIR ${CMAKE_INSTALL_DATADIR}/zavud_pri_rivezavode)
# The docs go with the headers on Linux (the -dev package); on Windows both the
# installer and the developer archive hold them, so they are a component.
if(WIN32)
  set(ZAVUD_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zavud_pri_rivezavode)
  set(ZAVUD_DOC_COMPONENT doc)
else()
  set(ZAVUD_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zavud-pri-rivezavode-dev)
  set(ZAVUD_DOC_COMPONENT dev)
endif()

# The plug-in and its stand-ins together in a private folder; on Windows (a
# module is a library target there too) beside the programs in bin.
if(WIN32)
  set(ZAVUD_PLUGIN_DESTINATION ${CMAKE_INSTALL_BINDIR})
else()
  set(ZAVUD_PLUGIN_DESTINATION ${ZAVUD_PRIVATE_LIBDIR})
endif()
install(TARGETS zavud_pri_rivezavode
  LIBRARY DESTINATION ${ZAVUD_PLUGIN_DESTINATION} COMPONENT plugin)
# On Windows the stand-ins' import libraries (.dll.a) are for host makers.
install(TARGETS lumo lumowx
  LIBRARY DESTINATION ${ZAVUD_PRIVATE_LIBDIR} COMPONENT plugin NAMELINK_SKIP
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT plugin
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)

# Host makers: the host-boundary headers, a CMake package and a pkg-config file.
# lumo.h stays out: a host has its support libraries' own.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/host_api/abi/ DESTINATION ${ZAVUD_INCLUDEDIR}
  COMPONENT dev FILES_MATCHING PATTERN "*.h")
target_include_directories(zavud_host_abi INTERFACE $<INSTALL_INTERFACE:${ZAVUD_INCLUDEDIR}>)
set_target_properties(zavud_host_abi PROPERTIES EXPORT_NAME abi)
install(TARGETS zavud_host_abi EXPORT zavud_pri_rivezavode_targets COMPONENT dev)
install(EXPORT zavud_pri_rivezavode_targets NAMESPACE zavud_pri_rivezavode::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zavud_pri_rivezavode COMPONENT dev)
set(ZAVUD_PLUGIN_FILE $<TARGET_FILE_NAME:zavud_pri_rivezavode>)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/zavud_pri_rivezavodeConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zavud_pri_rivezavodeConfig.cmake.in2
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zavud_pri_rivezavode
  PATH_VARS ZAVUD_PLUGIN_DESTINATION)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/zavud_pri_rivezavodeConfig.cmake
  INPUT ${PROJECT_BINARY_DIR}/zavud_pri_rivezavodeConfig.cmake.in2)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zavud_pri_rivezavodeConfigVersion.cmake
  COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${PROJECT_BINARY_DIR}/zavud_pri_rivezavodeConfig.cmake
  ${PROJECT_BINARY_DIR}/zavud_pri_rivezavodeConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/zavud_pri_rivezavode COMPONENT dev)
# Relative to the file's own folder, so the tree can be moved (--prefix).
file(RELATIVE_PATH ZAVUD_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
  ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" ZAVUD_PC_TO_PREFIX "${ZAVUD_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/zavud_pri_rivezavode.pc.in
  ${PROJECT_BINARY_DIR}/zavud_pri_rivezavode.pc.in2 @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/zavud_pri_rivezavode.pc
  INPUT ${PROJECT_BINARY_DIR}/zavud_pri_rivezavode.pc.in2)
install(FILES ${PROJECT_BINARY_DIR}/zavud_pri_rivezavode.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${ZAVUD_DOCDIR}
  COMPONENT ${ZAVUD_DOC_COMPONENT})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${ZAVUD_DOCDIR}/docs
  COMPONENT ${ZAVUD_DOC_COMPONENT})

# The programs and their examples.
foreach(program reference_host reference_host_console_half save_record_tool)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
  endif()
endforeach()
if(TARGET reference_host)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/reference_host/examples/
    DESTINATION ${ZAVUD_DATADIR}/examples COMPONENT tools)
  # For editors that check the files it reads as they are typed.
  install(FILES ${PROJECT_SOURCE_DIR}/docs/scenario.schema.json
    ${PROJECT_SOURCE_DIR}/docs/controllers.schema.json ${PROJECT_SOURCE_DIR}/docs/project.schema.json
    DESTINATION ${ZAVUD_DATADIR}/schemas COMPONENT tools)
endif()
if(TARGET save_record_tool)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/save_record_tool/examples/
    DESTINATION ${ZAVUD_DATADIR}/examples COMPONENT tools)
endif()
# For host makers: zavud_validate checks their own build of the plug-in.
if(TARGET zavud_validate)
  install(TARGETS zavud_validate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT dev)
endif()

if(WIN32)
  # The licence, and the notices of what the packages bundle (the toolkit,
  # the compiler's runtime): in the doc component, which both the installer
  # and the developer archive hold. A DLL that THIRD-PARTY-NOTICES does not
  # name fails scripts/test-windows-install.sh.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES
    DESTINATION ${ZAVUD_DOCDIR} COMPONENT ${ZAVUD_DOC_COMPONENT})

  # The developer archive's own README at its top: what it holds and the
  # toolchain a host must match, as detected for the version resources.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README-dev.md.in
    ${PROJECT_BINARY_DIR}/packaging/README.md @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/README.md DESTINATION . COMPONENT dev)

  # With another Windows toolchain (MSVC, say) the host that rebuilds the
  # plug-in ships its own runtime and toolkit: only MinGW's are bundled here.
  if(MINGW)
    # The DLLs the programs and the plug-in load that this build does not make
    # (the toolkit's, the compiler's runtime), beside them in
    # bin, component runtime: what a machine without a MinGW installation
    # needs. They are read from the import tables, so a new dependency needs no
    # edit here. They are looked for where the programs run from under Wine,
    # the cross-compiling emulator's DLL folders; our own DLLs, found beside
    # the files looked at, are installed by their own rules. What is found
    # nowhere is Windows' own (kernel32.dll, user32.dll, msvcrt.dll, ...); the
    # install test runs the installed programs under Wine with nothing on
    # WINEPATH, so a DLL that should have come along would fail it.
    set(dll_dirs ${CMAKE_CROSSCOMPILING_EMULATOR})
    list(FIND dll_dirs -- dll_dirs_end)
    if(dll_dirs_end GREATER 0)
      math(EXPR dll_dirs_count "${dll_dirs_end} - 1")
      list(SUBLIST dll_dirs 1 ${dll_dirs_count} dll_dirs)
    else()
      set(dll_dirs)
    endif()
    set(own_dlls $<TARGET_FILE:zavud_pri_rivezavode> $<TARGET_FILE:lumo> $<TARGET_FILE:lumowx>)
    set(programs)
    foreach(program reference_host reference_host_console_half save_record_tool zavud_validate)
      if(TARGET ${program})
        list(APPEND programs $<TARGET_FILE:${program}>)
      endif()
    endforeach()
    install(CODE "
      set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
      set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
      set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
      file(GET_RUNTIME_DEPENDENCIES
        EXECUTABLES ${programs}
        LIBRARIES ${own_dlls}
        DIRECTORIES ${dll_dirs}
        POST_EXCLUDE_FILES ${own_dlls}
        RESOLVED_DEPENDENCIES_VAR zavud_dlls
        UNRESOLVED_DEPENDENCIES_VAR system_dlls)
      foreach(dll IN LISTS zavud_dlls)
        get_filename_component(name \"\${dll}\" NAME)
        file(REAL_PATH \"\${dll}\" dll)
        file(INSTALL \"\${dll}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\"
          RENAME \"\${name}\" USE_SOURCE_PERMISSIONS)
        if(CMAKE_INSTALL_DO_STRIP)
          execute_process(COMMAND \"${CMAKE_STRIP}\"
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${name}\"
            COMMAND_ERROR_IS_FATAL ANY)
        endif()
      endforeach()
      " COMPONENT runtime)
  endif()
else()
  # What Debian asks of every package: its copyright (machine-readable) and its
  # changelog in its own doc folder, manual pages for the programs, all
  # compressed as dpkg expects (gzip -9n: no name, no time stamp).
  set(ZAVUD_DEBIAN ${PROJECT_SOURCE_DIR}/packaging/debian)
  function(zavud_gzip source output)
    add_custom_command(OUTPUT ${output}
      COMMAND gzip -9n -c ${source} > ${output}
      DEPENDS ${source} VERBATIM)
  endfunction()
  zavud_gzip(${ZAVUD_DEBIAN}/changelog ${PROJECT_BINARY_DIR}/debian/changelog.gz)
  set(compressed ${PROJECT_BINARY_DIR}/debian/changelog.gz)
  foreach(component_package plugin:zavud-pri-rivezavode dev:zavud-pri-rivezavode-dev
      tools:zavud-pri-rivezavode-tools)
    string(REPLACE ":" ";" parts ${component_package})
    list(GET parts 0 component)
    list(GET parts 1 package)
    install(FILES ${ZAVUD_DEBIAN}/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
      DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  endforeach()
  foreach(program_component reference_host:tools save_record_tool:tools zavud_validate:dev)
    string(REPLACE ":" ";" parts ${program_component})
    list(GET parts 0 program)
    list(GET parts 1 component)
    if(TARGET ${program})
      set(page ${PROJECT_BINARY_DIR}/debian/${program}.1.gz)
      zavud_gzip(${PROJECT_SOURCE_DIR}/docs/man/${program}.1 ${page})
      list(APPEND compressed ${page})
      install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
    endif()
  endforeach()
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/debian)
  add_custom_target(debian_files ALL DEPENDS ${compressed})
endif()

# Debian packages, one per component:
#   zavud-pri-rivezavode        the plug-in and its stand-in support libraries
#                               (what a host machine needs)
#   zavud-pri-rivezavode-dev    headers, CMake package, pkg-config, docs,
#                               zavud_validate (host makers)
#   zavud-pri-rivezavode-tools  reference host, save-record tool, examples
set(CPACK_PACKAGE_NAME zavud-pri-rivezavode)
set(CPACK_PACKAGE_VENDOR "zavud_pri_rivezavode developers")
set(CPACK_PACKAGE_CONTACT "zavud_pri_rivezavode developers <devel@zavud.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL plugin dev tools)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The stand-ins are private to the plug-in: shlibdeps resolves them in the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  ${PROJECT_BINARY_DIR}/${ZAVUD_PRIVATE_LIBDIR})
# Each package its own summary (the first line) and extended description.
set(CPACK_DEBIAN_PLUGIN_DESCRIPTION "Custom Input element plug-in for laser-marking hosts
A plug-in module for a host application that runs laser-marking projects on
scanner controller cards. It adds the project element 'Custom Input', which
holds a running project until the controller's input data meets a condition:
a bit pattern on a digital port, or a text on a serial interface. A timeout
with its action, a wait message and the forwarding of received text to
character inputs come with it, and a configuration panel for the host's
property window.
.
This package holds the module, its support libraries and the panel's
translations; hosts load it at run time.")
set(CPACK_DEBIAN_DEV_DESCRIPTION "Custom Input element plug-in - host interface
Headers, a CMake package and a pkg-config file for host makers who load the
Custom Input plug-in: the records it exchanges with the host at their byte
layout, its 14 entry points and their result codes, and the path of the
installed module.
.
This package also holds zavud_validate, which checks a build of the plug-in
(a host maker's own rebuild) against the behaviour of this one, the
integration guide and the format of the save records.")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "Custom Input element plug-in - reference host and tools
Programs around the Custom Input plug-in: reference_host, a desktop host that
edits projects in the plug-in's panel and runs them against a simulated
controller, a serial port or a replayed scenario; and save_record_tool, which
shows stored element records as JSON and writes them back.
.
Examples of projects, scenarios and records, and the reference host's
translations, are included.")
set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME zavud-pri-rivezavode)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME zavud-pri-rivezavode-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "zavud-pri-rivezavode (= ${PROJECT_VERSION}), libwxgtk3.2-dev")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME zavud-pri-rivezavode-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "zavud-pri-rivezavode (= ${PROJECT_VERSION})")
set(CPACK_STRIP_FILES ON)
include(CPack)
