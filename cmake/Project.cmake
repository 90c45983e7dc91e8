# Compiler settings shared by every target, and the helpers that define the
# project's libraries and tests.

set(PT_ROOT ${PROJECT_SOURCE_DIR})
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

# Warnings go on every target of ours, never on GoogleTest's sources.
set(PT_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual)
if(PT_WERROR)
  list(APPEND PT_WARNINGS -Werror)
  # g++ 12 at -O3 warns about std::string's own copies inside operator+
  # (-Wrestrict on inlined library code, a known false positive of that
  # release); it stays a warning there rather than stop a Release build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND PT_WARNINGS -Wno-error=restrict)
  endif()
endif()

if(WIN32)
  enable_language(RC)
  # Static runtime: the exe needs nothing but system DLLs on a bare Windows.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601 WINVER=0x0601 STRICT)
  # Tests run under the build's own Wine prefix (tools/wine-session): 32-bit
  # Wine for the i686 build, 64-bit Wine for the x86_64 build.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(PT_WINEARCH win32)
  else()
    set(PT_WINEARCH win64)
  endif()
  configure_file(${PT_ROOT}/tools/wine-exec.in ${CMAKE_BINARY_DIR}/wine-exec @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                  GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  file(WRITE ${CMAKE_BINARY_DIR}/wine-arch ${PT_WINEARCH})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec)
  set(PT_CAN_RUN ON)
else()
  set(PT_CAN_RUN ON)
  if(PT_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  elseif(PT_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# pt_library(NAME [PURE src...] [WIN src...] [DEPS lib...] [WIN_DEPS lib...])
# PURE sources build everywhere; WIN sources only for Windows. A library whose
# list is empty for this build is not created.
function(pt_library name)
  cmake_parse_arguments(A "" "" "PURE;WIN;DEPS;WIN_DEPS" ${ARGN})
  set(srcs ${A_PURE})
  if(WIN32)
    list(APPEND srcs ${A_WIN})
  endif()
  if(NOT srcs)
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PT_ROOT}/src)
  target_compile_options(${name} PRIVATE ${PT_WARNINGS})
  foreach(dep IN LISTS A_DEPS)
    if(TARGET ${dep} OR NOT dep MATCHES "^pt_")
      target_link_libraries(${name} PUBLIC ${dep})
    endif()
  endforeach()
  if(WIN32)
    target_link_libraries(${name} PUBLIC ${A_WIN_DEPS})
  endif()
endfunction()

# pt_subsystem(NAME [WINDOWS_ONLY] [DEPS lib...] [WIN_DEPS lib...])
# Builds the library pt_NAME from the .cpp files of the calling folder. In the
# pure folders, files named *_win.cpp are Windows-only and the rest must not
# include <windows.h> (they also build natively); a WINDOWS_ONLY folder is
# skipped entirely in the native build.
function(pt_subsystem name)
  cmake_parse_arguments(A "WINDOWS_ONLY" "" "DEPS;WIN_DEPS" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  set(pure ${all})
  list(FILTER pure EXCLUDE REGEX "_win\\.cpp$")
  set(win ${all})
  list(FILTER win INCLUDE REGEX "_win\\.cpp$")
  if(A_WINDOWS_ONLY)
    set(win ${all})
    set(pure)
    if(NOT WIN32)
      return()
    endif()
  endif()
  pt_library(pt_${name} PURE ${pure} WIN ${win} DEPS ${A_DEPS} WIN_DEPS ${A_WIN_DEPS})
endfunction()

# pt_subsystem_tests(NAME [LIBS lib...] [LOCK res] [WINDOWS_ONLY])
# test_NAME from the calling folder: *_test.cpp build everywhere,
# *_wintest.cpp only for Windows. fuzz_*.cpp become libFuzzer targets when
# PT_FUZZ is on (native clang only).
function(pt_subsystem_tests name)
  cmake_parse_arguments(A "WINDOWS_ONLY" "LOCK;TIMEOUT" "LIBS" ${ARGN})
  file(GLOB pure CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB win CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_wintest.cpp)
  file(GLOB fuzz CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_*.cpp)
  if(A_WINDOWS_ONLY)
    list(APPEND win ${pure})
    set(pure)
  endif()
  set(srcs ${pure})
  if(WIN32)
    list(APPEND srcs ${win})
  endif()
  if(PT_FUZZ AND NOT WIN32)
    foreach(f IN LISTS fuzz)
      get_filename_component(fname ${f} NAME_WE)
      add_executable(${fname} ${f})
      target_compile_options(${fname} PRIVATE -fsanitize=fuzzer ${PT_WARNINGS})
      target_link_options(${fname} PRIVATE -fsanitize=fuzzer)
      target_include_directories(${fname} PRIVATE ${PT_ROOT}/src)
      foreach(lib IN LISTS A_LIBS)
        if(TARGET ${lib})
          target_link_libraries(${fname} PRIVATE ${lib})
        endif()
      endforeach()
    endforeach()
    return()
  endif()
  if(NOT srcs)
    return()
  endif()
  set(extra)
  if(A_LOCK)
    list(APPEND extra LOCK ${A_LOCK})
  endif()
  if(A_TIMEOUT)
    list(APPEND extra TIMEOUT ${A_TIMEOUT})
  endif()
  pt_test(test_${name} ${srcs} LIBS ${A_LIBS} LABEL ${name} ${extra})
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)
