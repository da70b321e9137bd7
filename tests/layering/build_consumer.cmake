# Configures the consumer project (which adds this project with
# add_subdirectory) and builds the plug-in target in it.
# A cross build configures the consumer with the same toolchain and prefixes
# (CACHE_ARGUMENTS: -D settings, each ended by "|", which no path here holds).
string(REPLACE "|" ";" cache_arguments "${CACHE_ARGUMENTS}")
set(toolchain "")
if(TOOLCHAIN)
  set(toolchain -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
endif()
# Left by an earlier configuration, they would prove nothing.
file(REMOVE ${BINARY}/CPackConfig.cmake ${BINARY}/CPackSourceConfig.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER} -B ${BINARY} -DZAVUD_SOURCE=${SOURCE}
  ${toolchain} ${cache_arguments} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target consumer_host
  zavud_pri_rivezavode COMMAND_ERROR_IS_FATAL ANY)

# As a subproject the library installs nothing of its own and makes no
# packages: the consumer's install holds only what the consumer installs
# (here nothing).
if(EXISTS ${BINARY}/CPackConfig.cmake)
  message(FATAL_ERROR "the subproject set up packaging")
endif()
file(REMOVE_RECURSE ${BINARY}/installed)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY} --prefix ${BINARY}/installed
  COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE installed ${BINARY}/installed/*)
if(installed)
  message(FATAL_ERROR "the subproject installed: ${installed}")
endif()
