# Configures the consumer project (which adds this project with
# add_subdirectory) and builds the plug-in target in it.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER} -B ${BINARY} -DZAVUD_SOURCE=${SOURCE}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target consumer_host
  zavud_pri_rivezavode COMMAND_ERROR_IS_FATAL ANY)
