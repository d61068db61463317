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

add_subdirectory(tests/win32)
