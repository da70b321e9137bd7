# Fails when a template is not what its sources give now (run `cmake --build
# build --target pot` and update the catalogs), or when a catalog leaves a
# text of its template untranslated (or fuzzy) or still holds one that the
# template no longer has. Two templates: the panel's
# (po/zavud_pri_rivezavode.pot, catalogs po/*.po) and, when HOST_SOURCES is
# given, the reference host's (po/reference_host/).
# Arguments: SOURCE_DIR, OUTPUT (a scratch file), XGETTEXT_COMMAND (a list),
# SOURCES (a list), MSGCMP; HOST_XGETTEXT_COMMAND and HOST_SOURCES.
function(check_catalogs xgettext_command sources template folder)
  execute_process(COMMAND ${xgettext_command} -o ${OUTPUT} ${sources}
    WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
  # The creation date is the only line that differs between runs. (The texts
  # are kept apart, not in a list: they hold semicolons.)
  file(READ ${SOURCE_DIR}/${template} checked_in)
  file(READ ${OUTPUT} extracted)
  string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"" "" checked_in "${checked_in}")
  string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"" "" extracted "${extracted}")
  if(NOT checked_in STREQUAL extracted)
    message(FATAL_ERROR "${template} is stale: run "
      "`cmake --build build --target pot` and update ${folder}/*.po")
  endif()
  file(GLOB catalogs ${SOURCE_DIR}/${folder}/*.po)
  if(NOT catalogs)
    message(FATAL_ERROR "${folder} holds no catalog")
  endif()
  foreach(catalog IN LISTS catalogs)
    execute_process(COMMAND ${MSGCMP} ${catalog} ${SOURCE_DIR}/${template}
      COMMAND_ERROR_IS_FATAL ANY)
    # The other way round: a text left from older sources is only a warning
    # above. Obsolete entries (msgmerge's "#~") pass.
    execute_process(COMMAND ${MSGCMP} --use-untranslated
      ${SOURCE_DIR}/${template} ${catalog} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endfunction()

check_catalogs("${XGETTEXT_COMMAND}" "${SOURCES}" po/zavud_pri_rivezavode.pot po)
if(HOST_SOURCES)
  check_catalogs("${HOST_XGETTEXT_COMMAND}" "${HOST_SOURCES}"
    po/reference_host/reference_host.pot po/reference_host)
endif()
