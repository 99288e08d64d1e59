# Warnings everywhere; errors when VELGRAPH_WARNINGS_AS_ERRORS is on (CI turns it on), so
# nothing that warns lands.
function(velgraph_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(VELGRAPH_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
