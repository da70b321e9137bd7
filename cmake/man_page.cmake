# Writes or checks a program's manual page, made by help2man from the
# program's own --help and --version, so the page cannot drift from it.
#   cmake -DPROGRAM=path -DNAME="one line" -DPAGE=docs/man/x.1 [-DCHECK=scratch.1] -P man_page.cmake
# With CHECK the page is made into that file and compared with PAGE.
# The date in the page is fixed (the release's), so the same program gives
# the same bytes.
set(ENV{SOURCE_DATE_EPOCH} 1796083200)
# Same text whatever the machine's language.
set(ENV{LC_ALL} C.UTF-8)
set(output ${PAGE})
if(CHECK)
  set(output ${CHECK})
endif()
execute_process(COMMAND help2man --no-info --section 1 --name ${NAME} --output ${output}
  ${PROGRAM} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
if(CHECK)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${PAGE} ${output}
    RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${PAGE} is not what the program says now: "
      "cmake --build BUILD --target man_pages writes it again")
  endif()
  file(REMOVE ${output})
endif()
