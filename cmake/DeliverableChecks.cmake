# Inspects the 32-bit programs and canvas libraries as files; no Wine needed.
set(inkstone_objdump ${INKSTONE_MINGW_PREFIX}-objdump)
foreach(program inkstone inkstone-disc inkstone-canvas inkstone-canvas-disc)
  add_test(NAME win32.${program}.deliverable
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-deliverable ${inkstone_objdump} $<TARGET_FILE:${program}>)
  set_tests_properties(win32.${program}.deliverable PROPERTIES LABELS win32)
endforeach()

# The IEEE double flags follow what the compiler targets, also where a 32-bit
# build's host reports its own processor.
add_test(NAME win32.double_flags
         COMMAND ${PROJECT_SOURCE_DIR}/tests/cmake/check-double-flags ${CMAKE_BINARY_DIR}/double-flags)
set_tests_properties(win32.double_flags PROPERTIES LABELS win32)
