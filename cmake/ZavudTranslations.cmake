# The panel's texts for translators: every text the panel passes to the host's
# translator is extracted from the panel's sources into po/zavud_pri_rivezavode.pot
# (target `pot`); each po/LANG.po is compiled into a catalog at build time and
# installed where a host's gettext or wxTranslations finds it
# (share/locale/LANG/LC_MESSAGES/zavud_pri_rivezavode.mo). The build tree
# holds the catalogs at the same place below the build folder.
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
  message(STATUS "No gettext (msgfmt, xgettext): the panel's catalogs are not built nor "
    "installed, and the panel shows its English texts")
  return()
endif()

set(ZAVUD_POT ${PROJECT_SOURCE_DIR}/po/zavud_pri_rivezavode.pot)
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
add_custom_target(pot
  COMMAND ${ZAVUD_XGETTEXT_COMMAND} -o ${ZAVUD_POT} ${ZAVUD_PANEL_SOURCES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Extracting the panel's texts into po/zavud_pri_rivezavode.pot"
  VERBATIM)

file(GLOB ZAVUD_PO_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
set(ZAVUD_CATALOGS)
foreach(po IN LISTS ZAVUD_PO_FILES)
  get_filename_component(language ${po} NAME_WE)
  set(folder ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
  set(mo ${PROJECT_BINARY_DIR}/${folder}/zavud_pri_rivezavode.mo)
  add_custom_command(OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/${folder}
    COMMAND ${ZAVUD_MSGFMT} --check -o ${mo} ${po}
    DEPENDS ${po} VERBATIM)
  list(APPEND ZAVUD_CATALOGS ${mo})
  if(ZAVUD_INSTALL)
    install(FILES ${mo} DESTINATION ${folder} COMPONENT plugin)
  endif()
endforeach()
add_custom_target(translations ALL DEPENDS ${ZAVUD_CATALOGS})
