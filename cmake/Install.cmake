# Installs headers, the library and a package config so that another project can
# find_package(velgraph) and link velgraph::velgraph.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS velgraph EXPORT velgraphTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
foreach(dir platform wgraph alloc paintbox rulers worldgraph)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velgraph
    FILES_MATCHING PATTERN "*.h"
    PATTERN "raster" EXCLUDE)
endforeach()
install(EXPORT velgraphTargets NAMESPACE velgraph:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velgraph)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/velgraphConfig.cmake.in
  ${PROJECT_BINARY_DIR}/velgraphConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velgraph)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/velgraphConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/velgraphConfig.cmake ${PROJECT_BINARY_DIR}/velgraphConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velgraph)
