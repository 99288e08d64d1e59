# Warnings everywhere; errors when CI=true so nothing that warns lands.
function(velgraph_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if("$ENV{CI}" STREQUAL "true")
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
