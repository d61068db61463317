# The Windows side: the class library over Win32, the program, and the tests that
# run under Wine.
enable_language(RC)

# One self-contained executable; no time stamps or build paths in the output, so
# two builds of one commit give the same bytes.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build
                    -ffunction-sections -fdata-sections)
add_link_options(-static -Wl,--no-insert-timestamp -Wl,--gc-sections)

add_library(classlib_win32 STATIC
  classlib/win32/WideText.cpp
  classlib/win32/Win32System.cpp)
target_link_libraries(classlib_win32 PUBLIC classlib)

option(VELKARN_WITH_TESTS "Build the tests and the benchmark's programs too" ON)

# The program.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/resources/MAINICON.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/resources/icon/make_icon.py
          ${CMAKE_SOURCE_DIR}/resources/icon/MAINICON.txt ${CMAKE_BINARY_DIR}/resources/MAINICON.ico
  DEPENDS resources/icon/make_icon.py resources/icon/MAINICON.txt
  COMMENT "Drawing the icon")
set_source_files_properties(resources/VelkarnVupTool.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/resources/MAINICON.ico;${CMAKE_SOURCE_DIR}/Unit1.dfm;${CMAKE_SOURCE_DIR}/resources/VelkarnVupTool.manifest;${CMAKE_SOURCE_DIR}/resources/Version.h")

add_library(classlib_forms STATIC classlib/win32/Forms.cpp)
target_link_libraries(classlib_forms PUBLIC classlib_win32 comctl32)

add_executable(VelkarnVupTool WIN32 VelkarnVupTool.cpp Unit1.cpp resources/VelkarnVupTool.rc)
target_include_directories(VelkarnVupTool PRIVATE ${CMAKE_BINARY_DIR}/resources ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR})
target_link_libraries(VelkarnVupTool PRIVATE launch classlib_forms classlib_win32 shell32)
set_target_properties(VelkarnVupTool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_options(VelkarnVupTool PRIVATE -s)

if(VELKARN_WITH_TESTS)
  add_subdirectory(tests/win32)
  add_subdirectory(tests/e2e)
  add_subdirectory(bench)
  # Checks of the shipped file: only the 32-bit build is shipped.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    add_test(NAME program_file COMMAND Python3::Interpreter -m unittest -v test_program_file
             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/release)
    set_tests_properties(program_file PROPERTIES LABELS release
                         ENVIRONMENT "VELKARN_PROGRAM=$<TARGET_FILE:VelkarnVupTool>")
    add_test(NAME reproducible_build COMMAND ${CMAKE_SOURCE_DIR}/tests/release/reproducible.sh)
    set_tests_properties(reproducible_build PROPERTIES LABELS release TIMEOUT 900)
  endif()
endif()
