# Configures the consumer project (which adds this project with
# add_subdirectory) and builds the plug-in target in it.
# A cross build configures the consumer with the same toolchain.
set(toolchain "")
if(TOOLCHAIN)
  set(toolchain -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER} -B ${BINARY} -DZAVUD_SOURCE=${SOURCE}
  ${toolchain} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target consumer_host
  zavud_pri_rivezavode COMMAND_ERROR_IS_FATAL ANY)
