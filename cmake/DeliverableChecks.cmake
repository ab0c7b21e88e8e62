# Inspects the 32-bit programs and canvas libraries as files; no Wine needed.
set(inkstone_objdump ${INKSTONE_MINGW_PREFIX}-objdump)
foreach(program inkstone inkstone-disc inkstone-canvas inkstone-canvas-disc)
  add_test(NAME win32.${program}.deliverable
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-deliverable ${inkstone_objdump} $<TARGET_FILE:${program}>)
  set_tests_properties(win32.${program}.deliverable PROPERTIES LABELS win32)
endforeach()
