# Writes OUT: the text of `PROGRAM --help`, then of `PROGRAM NAME --help` for every
# subcommand that --help lists. Run by the build (cmake -P).
function(run_help out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                          ${PROGRAM} ${ARGN} --help
                  OUTPUT_VARIABLE text RESULT_VARIABLE status TIMEOUT 60)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help ended with ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

run_help(main)
set(all "$ wqkscope --help\n${main}")
string(REGEX MATCHALL "\n  wqkscope [a-z]+ " lines "${main}")
foreach(line ${lines})
  string(REGEX REPLACE "\n  wqkscope ([a-z]+) " "\\1" name "${line}")
  run_help(sub ${name})
  string(APPEND all "\n$ wqkscope ${name} --help\n${sub}")
endforeach()
file(WRITE ${OUT} "${all}")
