# The release package of a Windows build: <build>/inkstone-<version>-win32.zip
# (or -win64), with one folder of that name holding the programs, the canvas
# libraries with their import libraries and .def files, the header, the
# example host's source, the README and the licence note. scripts/package
# copies the 32-bit one to build/; the 64-bit one is made for the tests.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(INKSTONE_PACKAGE_NAME inkstone-${PROJECT_VERSION}-win32)
else()
  set(INKSTONE_PACKAGE_NAME inkstone-${PROJECT_VERSION}-win64)
endif()
set(INKSTONE_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${INKSTONE_PACKAGE_NAME}.zip)
set(stage_root ${CMAKE_BINARY_DIR}/package-stage)
set(stage ${stage_root}/${INKSTONE_PACKAGE_NAME})
set(package_programs inkstone inkstone-disc inkstone-canvas inkstone-canvas-disc)
set(package_sources
  ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/LICENCE-NOTE.txt ${PROJECT_SOURCE_DIR}/docs/screenshot.png
  ${PROJECT_SOURCE_DIR}/include/inkstone.h ${PROJECT_SOURCE_DIR}/examples/host.c)

add_custom_command(OUTPUT ${INKSTONE_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage_root} ${INKSTONE_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/docs ${stage}/include ${stage}/lib ${stage}/examples
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:inkstone> $<TARGET_FILE:inkstone-disc>
          $<TARGET_FILE:inkstone-canvas> $<TARGET_FILE:inkstone-canvas-disc>
          ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/LICENCE-NOTE.txt ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/screenshot.png ${stage}/docs
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/include/inkstone.h ${stage}/include
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_LINKER_FILE:inkstone-canvas> $<TARGET_LINKER_FILE:inkstone-canvas-disc>
          ${CMAKE_BINARY_DIR}/app/inkstone-canvas.def ${CMAKE_BINARY_DIR}/app/inkstone-canvas-disc.def ${stage}/lib
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/examples/host.c ${stage}/examples
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage_root}
          ${CMAKE_COMMAND} -E tar cf ${INKSTONE_PACKAGE_ZIP} --format=zip ${INKSTONE_PACKAGE_NAME}
  DEPENDS ${package_programs} ${package_sources}
  COMMENT "Packing ${INKSTONE_PACKAGE_NAME}.zip"
  VERBATIM)
add_custom_target(release_package ALL DEPENDS ${INKSTONE_PACKAGE_ZIP})
