# Installs the built library into a scratch prefix, then configures, builds and runs a separate
# project that finds it with find_package(velgraph).
set(prefix ${BINARY_DIR}/install-test/prefix)
set(consumer_build ${BINARY_DIR}/install-test/consumer)
file(REMOVE_RECURSE ${BINARY_DIR}/install-test)

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGV} failed (${result}):\n${output}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/e2e/consumer -B ${consumer_build} -G Ninja
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${consumer_build})
run(${consumer_build}/consumer)
