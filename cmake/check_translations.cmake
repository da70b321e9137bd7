# Fails when po/zavud_pri_rivezavode.pot is not what the panel's sources give
# now (run `cmake --build build --target pot` and update the catalogs), or
# when a catalog leaves a text of the template untranslated (or fuzzy) or
# still holds one that the template no longer has.
# Arguments: SOURCE_DIR, OUTPUT (a scratch file), XGETTEXT_COMMAND (a list),
# SOURCES (a list), MSGCMP.
execute_process(COMMAND ${XGETTEXT_COMMAND} -o ${OUTPUT} ${SOURCES}
  WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
# The creation date is the only line that differs between runs. (The texts
# are kept apart, not in a list: they hold semicolons.)
file(READ ${SOURCE_DIR}/po/zavud_pri_rivezavode.pot checked_in)
file(READ ${OUTPUT} extracted)
string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"" "" checked_in "${checked_in}")
string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"" "" extracted "${extracted}")
if(NOT checked_in STREQUAL extracted)
  message(FATAL_ERROR "po/zavud_pri_rivezavode.pot is stale: run "
    "`cmake --build build --target pot` and update po/*.po")
endif()
file(GLOB catalogs ${SOURCE_DIR}/po/*.po)
foreach(catalog IN LISTS catalogs)
  execute_process(COMMAND ${MSGCMP} ${catalog} ${SOURCE_DIR}/po/zavud_pri_rivezavode.pot
    COMMAND_ERROR_IS_FATAL ANY)
  # The other way round: a text left from older sources is only a warning
  # above. Obsolete entries (msgmerge's "#~") pass.
  execute_process(COMMAND ${MSGCMP} --use-untranslated
    ${SOURCE_DIR}/po/zavud_pri_rivezavode.pot ${catalog} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
