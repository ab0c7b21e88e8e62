# Every build computes in IEEE double: no x87 extended precision, no fused
# multiply-add, no fast-math.
if(MSVC)
  add_compile_options(/W4 /fp:precise /EHsc)
else()
  add_compile_options(-Wall -Wextra -ffp-contract=off)
  # 32-bit x86 computes doubles on the x87 unit unless told otherwise. What
  # the compiler targets decides, not the processor's name: a 32-bit build on
  # a 64-bit Windows host reports AMD64.
  include(CheckCXXSourceCompiles)
  check_cxx_source_compiles("#ifndef __i386__\n#error not 32-bit x86\n#endif\nint main() { return 0; }"
                            INKSTONE_TARGETS_X86_32)
  if(INKSTONE_TARGETS_X86_32)
    add_compile_options(-msse2 -mfpmath=sse)
  endif()
endif()

if(WIN32 AND NOT MSVC)
  # A plain Windows machine has no MinGW runtime DLLs: link them in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
endif()
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 4 GB of address space instead of 2 on 64-bit Windows: a large picture
  # and its stroke buffer need it.
  if(MSVC)
    add_link_options(/LARGEADDRESSAWARE)
  else()
    add_link_options(-Wl,--large-address-aware)
  endif()
endif()
if(WIN32 AND MSVC)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _CRT_SECURE_NO_WARNINGS)
  # No runtime DLL to install next to the programs.
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

if(INKSTONE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
