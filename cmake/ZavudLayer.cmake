# zavud_layer(NAME SOURCES... LINKS targets...): one layer of the plug-in as
# an object library with its folder as its only include directory, hidden
# symbols, and the layers below it linked.
function(zavud_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;LINKS")
  add_library(${name} OBJECT ${layer_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${layer_LINKS} PRIVATE zavud_settings)
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  # Calls out of the library (the clock on every timed wait, the toolkit) go
  # straight through the GOT instead of a PLT stub. ELF only: on Windows such
  # calls go through the import table already.
  if(NOT WIN32)
    target_compile_options(${name} PRIVATE -fno-plt)
  endif()
endfunction()
