# The build number, the fourth part of the program's version: the number of commits up to the one
# checked out, so that builds of different commits tell themselves apart in their reports. Without
# git, outside a repository or in a shallow clone (whose count is not the history's) it is 0.
# A number given as FOLVI_BUILD_NUMBER (a source package's, say) wins.
function(folvi_build_number source_dir out_var)
  if(DEFINED FOLVI_BUILD_NUMBER)
    if(NOT FOLVI_BUILD_NUMBER MATCHES "^[0-9]+$" OR FOLVI_BUILD_NUMBER GREATER 65535)
      message(FATAL_ERROR "FOLVI_BUILD_NUMBER \"${FOLVI_BUILD_NUMBER}\" is not a number from 0 to 65535")
    endif()
    set(${out_var} ${FOLVI_BUILD_NUMBER} PARENT_SCOPE)
    return()
  endif()
  set(number 0)
  execute_process(COMMAND git rev-parse --is-shallow-repository WORKING_DIRECTORY ${source_dir}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE shallow ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc EQUAL 0 AND shallow STREQUAL "false")
    execute_process(COMMAND git rev-list --count HEAD WORKING_DIRECTORY ${source_dir}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE count ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(rc EQUAL 0 AND count MATCHES "^[0-9]+$")
      if(count LESS 65536)
        set(number ${count})
      else()
        message(WARNING "${count} commits do not fit the version's 16-bit build number: it is 0")
      endif()
    endif()
  elseif(rc EQUAL 0)
    message(STATUS "A shallow clone does not know its commit count: the build number is 0")
  endif()
  set(${out_var} ${number} PARENT_SCOPE)
endfunction()

# Configures again when the checked-out commit changes, so that the number follows it.
function(folvi_watch_head source_dir)
  foreach(name HEAD logs/HEAD)
    execute_process(COMMAND git rev-parse --path-format=absolute --git-path ${name} WORKING_DIRECTORY ${source_dir}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE path ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(rc EQUAL 0 AND EXISTS "${path}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
    endif()
  endforeach()
endfunction()
