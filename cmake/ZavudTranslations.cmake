# The panel's texts for translators: every text the panel passes to the host's
# translator is extracted from the panel's sources into po/zavud_pri_rivezavode.pot
# (target `pot`); each po/LANG.po is compiled into a catalog at build time and
# installed where a host's gettext or wxTranslations finds it
# (share/locale/LANG/LC_MESSAGES/zavud_pri_rivezavode.mo). The build tree
# holds the catalogs at the same place below the build folder.
#
# The reference host's own texts are a second catalog, built the same way
# (po/reference_host/, share/locale/LANG/LC_MESSAGES/reference_host.mo).
#
# A build of the plug-in alone (ZAVUD_TESTS and ZAVUD_TOOLS off) needs no
# gettext: without it, it builds and installs no catalogs and says so; the
# panel then shows its English texts.
if(ZAVUD_TESTS OR ZAVUD_TOOLS)
  set(required REQUIRED)
else()
  set(required)
endif()
find_program(ZAVUD_XGETTEXT xgettext ${required})
find_program(ZAVUD_MSGFMT msgfmt ${required})
find_program(ZAVUD_MSGCMP msgcmp ${required})
if(NOT ZAVUD_MSGFMT OR NOT ZAVUD_XGETTEXT)
  message(STATUS "No gettext (msgfmt, xgettext): the catalogs are not built nor "
    "installed, and the panel and the reference host show their English texts")
  return()
endif()

# The panel's own sources, relative to the project, so the template names no
# checkout. `translate` is the builder's passage to the host's translator;
# TRANSLATABLE marks texts that reach it later, from a table.
file(GLOB ZAVUD_PANEL_SOURCES RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/plugin/panel/*.cpp ${PROJECT_SOURCE_DIR}/plugin/panel/*.h)
list(SORT ZAVUD_PANEL_SOURCES)
set(ZAVUD_XGETTEXT_COMMAND ${ZAVUD_XGETTEXT} --language=C++ --from-code=UTF-8
  --keyword=translate --keyword=TRANSLATABLE --add-comments=TRANSLATORS:
  --add-location=file --sort-by-file --package-name=zavud_pri_rivezavode
  --package-version=${PROJECT_VERSION} --msgid-bugs-address=devel@zavud.invalid)
set(ZAVUD_POT ${PROJECT_SOURCE_DIR}/po/zavud_pri_rivezavode.pot)
set(pot_commands COMMAND ${ZAVUD_XGETTEXT_COMMAND} -o ${ZAVUD_POT} ${ZAVUD_PANEL_SOURCES})

# The reference host's own texts (menus, buttons, dialogs, the run log in the
# window) are a catalog of their own, `reference_host`, in po/reference_host/:
# installed with the program, not with the plug-in, and free to word a text
# the panel also has differently. host_text() and host_line()
# (tools/reference_host/host_texts.h) look them up; HOST_TEXT marks texts of
# tables.
if(TARGET reference_host)
  file(GLOB ZAVUD_HOST_SOURCES RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/tools/reference_host/*.cpp
    ${PROJECT_SOURCE_DIR}/tools/reference_host/*.h)
  list(SORT ZAVUD_HOST_SOURCES)
  set(ZAVUD_HOST_XGETTEXT_COMMAND ${ZAVUD_XGETTEXT} --language=C++ --from-code=UTF-8
    --keyword --keyword=host_text --keyword=host_line --keyword=HOST_TEXT
    --flag=host_line:1:c-format --add-comments=TRANSLATORS: --add-location=file
    --sort-by-file --package-name=reference_host --package-version=${PROJECT_VERSION}
    --msgid-bugs-address=devel@zavud.invalid)
  set(ZAVUD_HOST_POT ${PROJECT_SOURCE_DIR}/po/reference_host/reference_host.pot)
  list(APPEND pot_commands
    COMMAND ${ZAVUD_HOST_XGETTEXT_COMMAND} -o ${ZAVUD_HOST_POT} ${ZAVUD_HOST_SOURCES})
endif()
add_custom_target(pot ${pot_commands}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Extracting the texts into the templates po/*.pot and po/reference_host/*.pot"
  VERBATIM)

# Each po/.../LANG.po of `folder` compiled into
# share/locale/LANG/LC_MESSAGES/DOMAIN.mo below the build folder (msgfmt
# --check: a changed %d fails the build) and installed at the same place with
# `component`. The catalogs made go to `variable`.
function(zavud_catalogs folder domain component variable)
  file(GLOB po_files CONFIGURE_DEPENDS ${folder}/*.po)
  set(catalogs)
  foreach(po IN LISTS po_files)
    get_filename_component(language ${po} NAME_WE)
    set(locale_folder ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
    set(mo ${PROJECT_BINARY_DIR}/${locale_folder}/${domain}.mo)
    add_custom_command(OUTPUT ${mo}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/${locale_folder}
      COMMAND ${ZAVUD_MSGFMT} --check -o ${mo} ${po}
      DEPENDS ${po} VERBATIM)
    list(APPEND catalogs ${mo})
    if(ZAVUD_INSTALL)
      install(FILES ${mo} DESTINATION ${locale_folder} COMPONENT ${component})
    endif()
  endforeach()
  set(${variable} ${catalogs} PARENT_SCOPE)
endfunction()

zavud_catalogs(${PROJECT_SOURCE_DIR}/po zavud_pri_rivezavode plugin ZAVUD_CATALOGS)
set(ZAVUD_HOST_CATALOGS)
if(TARGET reference_host)
  # The Debian package zavud-pri-rivezavode-tools carries them.
  zavud_catalogs(${PROJECT_SOURCE_DIR}/po/reference_host reference_host tools
    ZAVUD_HOST_CATALOGS)
endif()
# One target for both: the reference host shows the panel and itself in the
# same language.
add_custom_target(translations ALL DEPENDS ${ZAVUD_CATALOGS} ${ZAVUD_HOST_CATALOGS})
