# The release package of this build: quadrill-<version>-linux-x86_64.tar.gz
# or quadrill-<version>-windows-x64.zip, made by `cpack` in the build tree
# (scripts/package makes both). Each unpacks into one folder holding the
# game, its textures/ and a README for players.
set(QUADRILL_PACKAGE_README ${CMAKE_BINARY_DIR}/README.txt)
if(WIN32)
  set(QUADRILL_PACKAGE_SYSTEM windows-x64)
  set(QUADRILL_START "double-click quadrill.exe")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/README-windows.txt.in ${QUADRILL_PACKAGE_README} @ONLY)
  install(TARGETS quadrill RUNTIME DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  set(QUADRILL_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
  configure_file(${CMAKE_SOURCE_DIR}/packaging/README-linux.txt.in ${QUADRILL_PACKAGE_README} @ONLY)
  # The launcher starts the game from its own folder, where textures/ is.
  install(TARGETS quadrill RUNTIME DESTINATION bin)
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/quadrill-launcher.sh DESTINATION . RENAME quadrill)
  set(CPACK_GENERATOR TGZ)
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/textures/ DESTINATION textures FILES_MATCHING PATTERN "*.jpg")
install(FILES ${QUADRILL_PACKAGE_README} DESTINATION .)

set(CPACK_PACKAGE_NAME quadrill)
set(CPACK_PACKAGE_VENDOR Harnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quadrill-${PROJECT_VERSION}-${QUADRILL_PACKAGE_SYSTEM})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
