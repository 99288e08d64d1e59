# Installs the built library into a scratch prefix, then builds and runs a separate program against
# it twice: as a CMake project that finds it with find_package(velgraph), and with the flags
# pkg-config gives for velgraph.pc. Neither build sets anything the README does not say.
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

# Only public headers: nothing that pulls in a third-party library's own headers.
file(GLOB_RECURSE installed RELATIVE ${prefix}/include ${prefix}/include/*)
foreach(header ${installed})
  if(NOT header MATCHES "^velgraph/")
    message(FATAL_ERROR "installed outside include/velgraph: ${header}")
  endif()
  file(STRINGS ${prefix}/include/${header} third_party REGEX "#include <(ft2build|fontconfig/|png)")
  if(third_party)
    message(FATAL_ERROR "${header} includes a third-party header: ${third_party}")
  endif()
endforeach()
if(NOT EXISTS ${prefix}/include/velgraph/wgraph/Wgraph.h OR EXISTS ${prefix}/include/velgraph/platform/fonts/FreeTypeFace.h)
  message(FATAL_ERROR "the installed headers are not the public ones")
endif()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/e2e/consumer -B ${consumer_build} -G Ninja -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${consumer_build})
run(${consumer_build}/consumer)

find_program(PKG_CONFIG NAMES pkgconf pkg-config REQUIRED)
file(GLOB_RECURSE pc_file ${prefix}/*/velgraph.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs velgraph OUTPUT_VARIABLE flags RESULT_VARIABLE result
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know velgraph")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
set(pc_consumer ${BINARY_DIR}/install-test/pc-consumer)
run(c++ ${SOURCE_DIR}/tests/e2e/consumer/main.cpp ${flags} -o ${pc_consumer})
get_filename_component(libdir ${pc_dir} DIRECTORY)
set(ENV{LD_LIBRARY_PATH} ${libdir})
run(${pc_consumer})

# The README's example program, as a user would copy it, built the same way and run.
file(READ ${SOURCE_DIR}/README.md readme)
string(REGEX MATCH "<!-- readme-example: begin -->\n```cpp\n(.*)\n```\n<!-- readme-example: end -->" found "${readme}")
if(NOT found)
  message(FATAL_ERROR "README.md has no example program between its readme-example markers")
endif()
set(example ${BINARY_DIR}/install-test/readme)
file(WRITE ${example}/main.cpp "${CMAKE_MATCH_1}\n")
file(COPY ${SOURCE_DIR}/tests/e2e/consumer/CMakeLists.txt DESTINATION ${example})
run(${CMAKE_COMMAND} -S ${example} -B ${example}/build -G Ninja -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${example}/build)
execute_process(COMMAND ${example}/build/consumer WORKING_DIRECTORY ${example} RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${example}/graph.png)
  message(FATAL_ERROR "the README's example failed (${result}):\n${output}")
endif()
