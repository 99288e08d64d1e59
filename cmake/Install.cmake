# Installs the public headers, the library, a CMake package config (find_package(velgraph), then
# link velgraph::velgraph) and a pkg-config file (velgraph.pc).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Headers that are the library's own business: the raster routines behind the raster device, the
# FreeType face (it pulls in FreeType's headers), the cairo device's helpers, the UTF-8 decoder and the
# handle table.
set(VELGRAPH_INTERNAL_HEADERS
    "platform/graphics/raster/Raster(Ops|Span|Stamp|Text|WideLine|Math)\\.h$"
    "platform/graphics/cairo/Cairo(FontFaces|Path)\\.h$"
    "platform/fonts/(FreeTypeFace|Utf8)\\.h$"
    "platform/rtl/HandleTable\\.h$")

get_property(headers GLOBAL PROPERTY VELGRAPH_LAYER_HEADERS)
foreach(header ${headers})
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${header})
  set(internal FALSE)
  foreach(pattern ${VELGRAPH_INTERNAL_HEADERS})
    if(relative MATCHES "${pattern}")
      set(internal TRUE)
    endif()
  endforeach()
  if(NOT internal)
    get_filename_component(folder ${relative} DIRECTORY)
    install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velgraph/${folder})
  endif()
endforeach()

install(TARGETS velgraph EXPORT velgraphTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT velgraphTargets NAMESPACE velgraph:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velgraph)

# A shared library carries its third-party libraries itself; a static one hands them to the
# consumer's link, so the package config finds them first and velgraph.pc requires them (not
# privately: the README's plain `pkg-config --libs velgraph` must then name them).
if(VELGRAPH_SHARED)
  set(VELGRAPH_PC_REQUIRES "")
else()
  set(VELGRAPH_PC_REQUIRES "freetype2 fontconfig libpng cairo")
  if(VELGRAPH_WITH_SDL)
    string(APPEND VELGRAPH_PC_REQUIRES " sdl2")
  endif()
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/velgraphConfig.cmake.in
  ${PROJECT_BINARY_DIR}/velgraphConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velgraph)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/velgraphConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/velgraphConfig.cmake ${PROJECT_BINARY_DIR}/velgraphConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velgraph)

# The prefix is found from where the file lies, so the package may be installed anywhere.
string(REGEX REPLACE "[^/]+" ".." VELGRAPH_PC_TO_PREFIX "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
configure_file(${PROJECT_SOURCE_DIR}/cmake/velgraph.pc.in ${PROJECT_BINARY_DIR}/velgraph.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velgraph.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
