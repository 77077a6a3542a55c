# Windows builds (x86_64 for the tests under wine64, i686 for shipping).
# Everything is linked statically so that the hook library, which the system loads into
# foreign processes, depends on system DLLs only.
set(TESSEL_STATIC_LINK -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
target_compile_definitions(tessel_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

file(GLOB TESSEL_WIN32_COMMON_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/common/win32/*.cpp)
add_library(tessel_win32_common STATIC ${TESSEL_WIN32_COMMON_SOURCES})
target_link_libraries(tessel_win32_common PUBLIC tessel_core user32 gdi32 kernel32)

add_subdirectory(hooklib)
add_subdirectory(hiddenhost)
add_subdirectory(frontend)
add_subdirectory(tools)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  add_subdirectory(tests/windows)
endif()
