# The toolkit as two interface targets, so each target states what it uses
# and nothing reaches a target that should be free of it:
#   zavud_wx_base  the base library (strings, command line), no windows
#   zavud_wx       base and core (windows, controls)
if(TARGET zavud_wx)
  return()
endif()

function(zavud_toolkit_target name)
  find_package(wxWidgets 3.2 REQUIRED COMPONENTS ${ARGN})
  add_library(${name} INTERFACE)
  target_include_directories(${name} SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(${name} INTERFACE ${wxWidgets_DEFINITIONS}
    $<$<CONFIG:Debug>:${wxWidgets_DEFINITIONS_DEBUG}>)
  separate_arguments(flags UNIX_COMMAND "${wxWidgets_CXX_FLAGS}")
  target_compile_options(${name} INTERFACE ${flags})
  # wx-config names the Windows GUI subsystem for every program; here each
  # program has its own (WIN32_EXECUTABLE), the tests and the tool a console.
  list(REMOVE_ITEM wxWidgets_LIBRARIES -mwindows -Wl,--subsystem,windows)
  target_link_libraries(${name} INTERFACE ${wxWidgets_LIBRARIES})
endfunction()

zavud_toolkit_target(zavud_wx_base base)
zavud_toolkit_target(zavud_wx core base)
