# Includes name their folder ("model/save_record.h"), and a target sees only
# the folders of what it links: each folder is reachable through a view of
# its own in the build tree, a directory holding one link named after it.
# A shared include root would let any file reach any layer; with views an
# include against the layers' direction finds no header and does not build.
#
# zavud_include_view(TARGET SCOPE [FOLDER dir]): the folder (the current one
# unless given) as "<folder>/...".
function(zavud_include_view target scope)
  cmake_parse_arguments(PARSE_ARGV 2 view "" "FOLDER" "")
  set(source ${CMAKE_CURRENT_SOURCE_DIR})
  if(view_FOLDER)
    get_filename_component(source ${view_FOLDER} ABSOLUTE)
  endif()
  get_filename_component(folder ${source} NAME)
  set(view ${PROJECT_BINARY_DIR}/include_views/${target})
  if(NOT IS_SYMLINK ${view}/${folder})
    file(MAKE_DIRECTORY ${view})
    file(CREATE_LINK ${source} ${view}/${folder} SYMBOLIC RESULT failed)
    if(failed)
      # A system without symbolic links (Windows without the privilege) still
      # builds; only the direction goes unchecked there.
      message(STATUS "${target}: no symbolic links here, layer direction not enforced")
      get_filename_component(view ${source} DIRECTORY)
    endif()
  endif()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${view}>)
endfunction()

# zavud_layer(NAME SOURCES... LINKS targets...): one layer of the plug-in as
# an object library seeing its own folder and the layers it links, with
# hidden symbols.
function(zavud_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;LINKS")
  add_library(${name} OBJECT ${layer_SOURCES})
  zavud_include_view(${name} PUBLIC)
  target_link_libraries(${name} PUBLIC ${layer_LINKS} PRIVATE zavud_settings)
  set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()
