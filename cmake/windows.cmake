# Windows builds (x86_64 for the tests under wine64, i686 for shipping).
# Everything is linked statically so that the hook library, which the system loads into
# foreign processes, depends on system DLLs only.
set(TESSEL_STATIC_LINK -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
target_compile_definitions(tessel_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
# The one part of the core that asks the system: its ANSI code page.
target_sources(tessel_core PRIVATE ${CMAKE_SOURCE_DIR}/common/win32/system_code_page.cpp)

file(GLOB TESSEL_WIN32_COMMON_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/common/win32/*.cpp)
list(REMOVE_ITEM TESSEL_WIN32_COMMON_SOURCES ${CMAKE_SOURCE_DIR}/common/win32/system_code_page.cpp)
add_library(tessel_win32_common STATIC ${TESSEL_WIN32_COMMON_SOURCES})
target_link_libraries(tessel_win32_common PUBLIC tessel_core user32 gdi32 kernel32)

add_subdirectory(hooklib)
add_subdirectory(hiddenhost)
add_subdirectory(frontend)
add_subdirectory(tools)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  add_subdirectory(tests/windows)
endif()

# Application manifests of the two programs, embedded by their .rc files (TESSEL_MANIFEST).
foreach(program tessel32 tesshide32)
  if(program STREQUAL "tessel32")
    set(TESSEL_MANIFEST_NAME Tessel32)
    set(TESSEL_MANIFEST_DESCRIPTION "Tessel+ keyboard mapper")
  else()
    set(TESSEL_MANIFEST_NAME Tesshide32)
    set(TESSEL_MANIFEST_DESCRIPTION "Tessel+ hidden mode")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/tessel.manifest.in
                 ${CMAKE_BINARY_DIR}/generated/${program}.manifest @ONLY)
endforeach()
set_source_files_properties(${CMAKE_SOURCE_DIR}/frontend/win32/tessel32.rc
  DIRECTORY ${CMAKE_SOURCE_DIR}/frontend
  PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/tessel32.manifest)
set_source_files_properties(${CMAKE_SOURCE_DIR}/hiddenhost/tesshide32.rc
  DIRECTORY ${CMAKE_SOURCE_DIR}/hiddenhost
  PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/tesshide32.manifest)

add_subdirectory(help)
include(cmake/release.cmake)
