# Release packages of this Windows build, in <build>/release/:
#   tessel-<version>-<win32|win64>.zip        the programs, the help file, the demo settings
#                                             and PORTABLE.TXT, for use without installing
#   tessel-<version>-<win32|win64>-setup.exe  per-user NSIS installer (packaging/tessel.nsi)
# Target `release` builds both; scripts/release.sh builds them for both presets.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(TESSEL_ARCH win64)
  set(TESSEL_NSIS_TARGET amd64-unicode)
  set(TESSEL_BITS 64)
else()
  set(TESSEL_ARCH win32)
  set(TESSEL_NSIS_TARGET x86-unicode)
  set(TESSEL_BITS 32)
endif()
set(TESSEL_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(TESSEL_STAGE_DIR ${TESSEL_RELEASE_DIR}/stage)
set(TESSEL_ZIP ${TESSEL_RELEASE_DIR}/tessel-${PROJECT_VERSION}-${TESSEL_ARCH}.zip)
set(TESSEL_SETUP ${TESSEL_RELEASE_DIR}/tessel-${PROJECT_VERSION}-${TESSEL_ARCH}-setup.exe)
set(TESSEL_PORTABLE_TEXT ${CMAKE_BINARY_DIR}/generated/PORTABLE.TXT)
# Windows line ends: the text is read with Notepad.
configure_file(${CMAKE_SOURCE_DIR}/packaging/PORTABLE.TXT ${TESSEL_PORTABLE_TEXT}
               @ONLY NEWLINE_STYLE WIN32)

if(NOT EXISTS ${TESSEL_HELP_FILE} AND NOT TARGET tessel32_help)
  message(WARNING "no help file: the release packages are not built")
  return()
endif()

# The files of both packages, in the order the zip lists them.
set(TESSEL_PACKAGE_FILES TESSEL32.EXE TESSHOOK32.DLL TESSHIDE32.EXE TESSEL32.CHM TESSEL32.INI PORTABLE.TXT)
add_custom_command(OUTPUT ${TESSEL_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TESSEL_STAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSEL_STAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tessel32> $<TARGET_FILE:tesshook32>
          $<TARGET_FILE:tesshide32> ${TESSEL_HELP_FILE} ${CMAKE_SOURCE_DIR}/demo/TESSEL32.INI
          ${TESSEL_PORTABLE_TEXT} ${TESSEL_STAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TESSEL_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${TESSEL_STAGE_DIR}
          ${CMAKE_COMMAND} -E tar cf ${TESSEL_ZIP} --format=zip -- ${TESSEL_PACKAGE_FILES}
  DEPENDS tessel32 tesshook32 tesshide32 tessel32_help ${TESSEL_HELP_FILE}
          ${CMAKE_SOURCE_DIR}/demo/TESSEL32.INI ${TESSEL_PORTABLE_TEXT}
  COMMENT "Packing ${TESSEL_ZIP}"
  VERBATIM)
set(TESSEL_RELEASE_OUTPUTS ${TESSEL_ZIP})

find_program(MAKENSIS makensis)
if(MAKENSIS)
  add_custom_command(OUTPUT ${TESSEL_SETUP}
    COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DBITS=${TESSEL_BITS}
            -DNSIS_TARGET=${TESSEL_NSIS_TARGET} -DSTAGE=${TESSEL_STAGE_DIR}
            -DOUTFILE=${TESSEL_SETUP} ${CMAKE_SOURCE_DIR}/packaging/tessel.nsi
    DEPENDS ${TESSEL_ZIP} ${CMAKE_SOURCE_DIR}/packaging/tessel.nsi
    COMMENT "Building the installer ${TESSEL_SETUP}"
    VERBATIM)
  list(APPEND TESSEL_RELEASE_OUTPUTS ${TESSEL_SETUP})
else()
  message(WARNING "makensis (Debian package nsis) not found: no installer is built")
endif()
add_custom_target(release ALL DEPENDS ${TESSEL_RELEASE_OUTPUTS})
