# The build number: the commit count of a repository, 0 where there is none or only a shallow
# history, and the number given when one is. Run as cmake -DMODULE=... -DWORK=... -P this file.
include(${MODULE})
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/plain ${WORK}/repo)
# git must not find the repository the build folder lies in.
set(ENV{GIT_CEILING_DIRECTORIES} ${WORK})
set(ENV{GIT_CONFIG_NOSYSTEM} 1)
set(ENV{HOME} ${WORK})

function(expect folder expected what)
  folvi_build_number(${folder} number)
  if(NOT number STREQUAL "${expected}")
    message(FATAL_ERROR "${what}: the build number is \"${number}\", not ${expected}")
  endif()
endfunction()

function(git folder)
  execute_process(COMMAND git -c user.name=folvi -c user.email=folvi@example.org ${ARGN} WORKING_DIRECTORY ${folder}
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE error)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "git ${ARGN}: ${error}")
  endif()
endfunction()

expect(${WORK}/plain 0 "a folder outside any repository")
git(${WORK}/repo init -q)
expect(${WORK}/repo 0 "a repository without commits")
foreach(n 1 2)
  git(${WORK}/repo commit -q --allow-empty -m "commit ${n}")
endforeach()
expect(${WORK}/repo 2 "two commits")
git(${WORK}/repo commit -q --allow-empty -m "commit 3")
expect(${WORK}/repo 3 "the next commit")
git(${WORK} clone -q --depth 1 file://${WORK}/repo shallow)
expect(${WORK}/shallow 0 "a shallow clone")
set(FOLVI_BUILD_NUMBER 41)
expect(${WORK}/repo 41 "a number given")
# One that the version cannot hold stops the configuration with a message naming it.
file(WRITE ${WORK}/given.cmake "include(${MODULE})\nfolvi_build_number(${WORK} n)\n")
foreach(bad 65536 12a)
  execute_process(COMMAND ${CMAKE_COMMAND} -DFOLVI_BUILD_NUMBER=${bad} -P ${WORK}/given.cmake
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE error)
  string(FIND "${error}" "FOLVI_BUILD_NUMBER \"${bad}\" is not a number from 0 to 65535" at)
  if(rc EQUAL 0 OR at LESS 0)
    message(FATAL_ERROR "the build number ${bad} was not refused: ${error}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
