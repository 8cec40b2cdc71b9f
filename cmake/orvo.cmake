# Build-wide settings and the helpers every folder uses to declare its binaries and tests.
#   ORVO_NATIVE  host build: portable code, unit tests (ASan + UBSan)
#   ORVO_WIN32   i686 PE files      ORVO_WIN64  x86_64 PE files
set(ORVO_NATIVE OFF)
set(ORVO_WIN32 OFF)
set(ORVO_WIN64 OFF)
if(WIN32)
  enable_language(RC)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ORVO_WIN64 ON)
    set(ORVO_ARCH win64)
  else()
    set(ORVO_WIN32 ON)
    set(ORVO_ARCH win32)
  endif()
else()
  set(ORVO_NATIVE ON)
  set(ORVO_ARCH native)
endif()

# `X x = {sizeof(x)};` is the house idiom for Win32 structures; its warning would forbid it.
add_compile_options(-Wall -Wextra -Werror -Wno-missing-field-initializers)

if(ORVO_NATIVE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
else()
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  # Only Windows' own DLLs at run time; ASLR and DEP on every image.
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--dynamicbase -Wl,--nxcompat)
  if(ORVO_WIN64)
    add_link_options(-Wl,--high-entropy-va)
  endif()
endif()

# GoogleTest: Debian's sources, built with each toolchain (and the host's sanitizers).
set(ORVO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${ORVO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT ORVO_NATIVE)
    # gtest's own sources trip -Werror under mingw in places we do not own.
    foreach(t gtest gtest_main gmock gmock_main)
      target_compile_options(${t} PRIVATE -Wno-error)
    endforeach()
  endif()
endif()

# Where `install` puts the product: a tree that mirrors drive C: of the test machine.
set(ORVO_PRODUCT_DIR "Program Files/Orvotek/Orvo Jumpdeck")
set(ORVO_SIM_DIR "OrvoSim")

# orvo_unit_test(name SOURCES ... LIBS ...): native GoogleTest under the sanitizers.
function(orvo_unit_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ORVO_NATIVE)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} gmock gtest_main)
  add_test(NAME unit.${name} COMMAND ${name})
  set_tests_properties(unit.${name} PROPERTIES LABELS unit TIMEOUT 300)
endfunction()

# A GoogleTest program built with mingw and run under Wine (through the toolchain's emulator).
function(orvo_wine_test tier default_timeout name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(ORVO_NATIVE)
    return()
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT ${default_timeout})
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} gmock gtest_main)
  add_test(NAME ${tier}.${ORVO_ARCH}.${name} COMMAND ${name})
  set_tests_properties(${tier}.${ORVO_ARCH}.${name} PROPERTIES LABELS ${tier} TIMEOUT ${A_TIMEOUT})
endfunction()

# orvo_win_test(name SOURCES ... LIBS ...): tests of the Win32 shells, with fakes where needed.
function(orvo_win_test name)
  orvo_wine_test(win 300 ${name} ${ARGN})
endfunction()

# orvo_e2e_test(name SOURCES ... LIBS ...): a Windows test program that drives the installed
# product through the Windows API. Runs serially: the tests share one prefix and one desktop.
function(orvo_e2e_test name)
  orvo_wine_test(e2e 600 ${name} ${ARGN})
  if(NOT ORVO_NATIVE)
    set_tests_properties(e2e.${ORVO_ARCH}.${name} PROPERTIES RUN_SERIAL ON)
  endif()
endfunction()
