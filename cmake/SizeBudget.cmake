# The size budget of the programs every package carries. setup_size_budget(target bytes) fails
# the build of target when its file comes out larger than bytes, naming both figures; the check
# runs after every link, so a change that breaks the budget never gets as far as a test.
# bench/setup-size.sh says where the bytes go.
#
# Run as a script (cmake -DFILE=... -DBUDGET=... -P SizeBudget.cmake) it is the check itself.
if(CMAKE_SCRIPT_MODE_FILE)
  file(SIZE "${FILE}" size)
  get_filename_component(name "${FILE}" NAME)
  if(size GREATER BUDGET)
    math(EXPR over "${size} - ${BUDGET}")
    message(FATAL_ERROR "${name} is ${size} bytes, ${over} over its budget of ${BUDGET} "
                        "(bench/setup-size.sh shows what each library and object costs)")
  endif()
  return()
endif()

function(setup_size_budget target bytes)
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -DBUDGET=${bytes}
                             -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
                     VERBATIM)
endfunction()
