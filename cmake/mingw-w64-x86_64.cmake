# Cross toolchain: 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The posix thread model, because the win32 one lacks std::thread and std::mutex in GCC 12.
#
# The wxWidgets (MSW) and GoogleTest builds for this target, and
# nlohmann-json outside /usr, come from scripts/build-wx-windows.sh, which caches them
# outside the checkout. Use:
#
#   scripts/build-wx-windows.sh            # once; cheap when cached
#   cmake -S . -B build-win \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DwxWidgets_CONFIG_EXECUTABLE=/var/cache/zavud/wx-msw/bin/wx-config
#
# find_package(wxWidgets) then reads that wx-config. Name it explicitly (this file
# defaults it too): a host wx-config on PATH describes the GTK build, not this one.
# Prefixes other than the defaults: ZAVUD_WX_MSW_PREFIX, ZAVUD_JSON_MINGW_PREFIX,
# ZAVUD_GTEST_MINGW_PREFIX, as cache variables or in the
# environment.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_zavud_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_zavud_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_zavud_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_zavud_triple}-windres)

# Defaults: the stable links the build script keeps pointing at its current builds,
# in its cache ($ZAVUD_CACHE, as for the script).
set(_zavud_cache /var/cache/zavud)
if(DEFINED ENV{ZAVUD_CACHE} AND NOT "$ENV{ZAVUD_CACHE}" STREQUAL "")
  set(_zavud_cache "$ENV{ZAVUD_CACHE}")
endif()
set(_zavud_default_ZAVUD_WX_MSW_PREFIX ${_zavud_cache}/wx-msw)
set(_zavud_default_ZAVUD_JSON_MINGW_PREFIX ${_zavud_cache}/json-mingw)
set(_zavud_default_ZAVUD_GTEST_MINGW_PREFIX ${_zavud_cache}/gtest-mingw)
set(_zavud_prefix_vars ZAVUD_WX_MSW_PREFIX ZAVUD_JSON_MINGW_PREFIX ZAVUD_GTEST_MINGW_PREFIX)
set(_zavud_real_prefixes)
foreach(_zavud_var IN LISTS _zavud_prefix_vars)
  if(NOT ${_zavud_var})
    if(DEFINED ENV{${_zavud_var}})
      set(${_zavud_var} "$ENV{${_zavud_var}}")
    else()
      set(${_zavud_var} "${_zavud_default_${_zavud_var}}")
    endif()
  endif()
  set(${_zavud_var} "${${_zavud_var}}" CACHE PATH "Prefix made by scripts/build-wx-windows.sh")
  # wx-config names the real path. A path under no find root gets re-rooted and then
  # missed, so the roots must be real paths too, not the links.
  file(REAL_PATH "${${_zavud_var}}" _zavud_real_${_zavud_var})
  list(APPEND _zavud_real_prefixes "${_zavud_real_${_zavud_var}}")
endforeach()
# try_compile projects read this file again; hand them the same prefixes.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ${_zavud_prefix_vars})

set(CMAKE_FIND_ROOT_PATH /usr/${_zavud_triple} ${_zavud_real_prefixes})
# Tools run on the build machine; what gets linked comes from the target's roots only.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT DEFINED wxWidgets_CONFIG_EXECUTABLE AND EXISTS "${ZAVUD_WX_MSW_PREFIX}/bin/wx-config")
  set(wxWidgets_CONFIG_EXECUTABLE "${ZAVUD_WX_MSW_PREFIX}/bin/wx-config" CACHE FILEPATH
      "wx-config of the MSW build")
endif()

# CTest and test discovery start Windows programs through Wine (cmake/wine-run.sh), with
# the DLL folders the programs need on WINEPATH: the toolkit's and the compiler
# runtime's (libstdc++-6, libgcc_s_seh-1, libwinpthread-1), asked of the
# compiler, not hard-coded.
if(EXISTS "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
  set(_zavud_runtime_dirs)
  foreach(_zavud_dll IN ITEMS libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_zavud_dll}
                    OUTPUT_VARIABLE _zavud_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_zavud_path "${_zavud_path}" DIRECTORY)
    get_filename_component(_zavud_path "${_zavud_path}" REALPATH)
    list(APPEND _zavud_runtime_dirs "${_zavud_path}")
  endforeach()
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh"
      "${_zavud_real_ZAVUD_WX_MSW_PREFIX}/bin" ${_zavud_runtime_dirs} --)
endif()
