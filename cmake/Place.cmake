# inkstone_place(<files-var> <directory> <target-or-file>...)
# Keeps a copy of each in <directory>, for programs that run there: a target's
# file named as the target's output (a program, a library, the tablet driver
# double's wintab32.dll, which a program there loads with WINEDLLOVERRIDES
# wintab32=n), or a file by its own name. Appends the copies to <files-var>,
# which the caller makes a custom target depend on.
function(inkstone_place files_var directory)
  set(copies ${${files_var}})
  foreach(item ${ARGN})
    if(TARGET ${item})
      get_target_property(name ${item} OUTPUT_NAME)
      if(NOT name)
        set(name ${item})
      endif()
      get_target_property(type ${item} TYPE)
      if(type STREQUAL "SHARED_LIBRARY")
        string(APPEND name ${CMAKE_SHARED_LIBRARY_SUFFIX})
      else()
        string(APPEND name ${CMAKE_EXECUTABLE_SUFFIX})
      endif()
      set(source $<TARGET_FILE:${item}>)
    else()
      get_filename_component(name ${item} NAME)
      set(source ${item})
    endif()
    add_custom_command(OUTPUT ${directory}/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${directory}/${name}
      DEPENDS ${item} VERBATIM)
    list(APPEND copies ${directory}/${name})
  endforeach()
  set(${files_var} ${copies} PARENT_SCOPE)
endfunction()
