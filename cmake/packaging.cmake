# The release packages of this build, made by `cpack` in the build tree
# (scripts/package makes them all):
#   Windows: quadrill-<version>-windows-x64.zip
#   Linux:   quadrill-<version>-linux-<arch>.tar.gz, which unpacks into one
#            folder holding the game, its textures/ and a README for players,
#            and quadrill_<version>_<arch>.deb, laid out as Debian's games are
#            (packaging_deb.cmake).
set(QUADRILL_PACKAGE_README ${CMAKE_BINARY_DIR}/README.txt)
if(WIN32)
  set(QUADRILL_PACKAGE_SYSTEM windows-x64)
  set(QUADRILL_START "double-click quadrill.exe")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/README-windows.txt.in ${QUADRILL_PACKAGE_README} @ONLY)
  install(TARGETS quadrill RUNTIME DESTINATION .)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/textures/ DESTINATION textures FILES_MATCHING PATTERN "*.jpg")
  install(FILES ${QUADRILL_PACKAGE_README} DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  set(QUADRILL_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
  # Folders as packages have them, whatever the umask of whoever packs.
  set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  # Left for the packaging step, which reads it from the packaged binary.
  set(OLDEST_GLIBC "@OLDEST_GLIBC@")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/README-linux.txt.in ${QUADRILL_PACKAGE_README} @ONLY)
  # The launcher starts the game from its own folder, where textures/ is.
  install(TARGETS quadrill RUNTIME DESTINATION bin COMPONENT archive)
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/quadrill-launcher.sh DESTINATION . RENAME quadrill
          COMPONENT archive)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/textures/ DESTINATION textures COMPONENT archive
          FILES_MATCHING PATTERN "*.jpg")
  install(FILES ${QUADRILL_PACKAGE_README} DESTINATION . COMPONENT archive)
  include(${CMAKE_CURRENT_LIST_DIR}/packaging_deb.cmake)
  set(CPACK_GENERATOR TGZ DEB)
  # Each generator packs its own component: see cpack_per_generator.cmake.in.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/cpack_per_generator.cmake.in
                 ${CMAKE_BINARY_DIR}/cpack_per_generator.cmake @ONLY)
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack_per_generator.cmake)
  find_program(QUADRILL_OBJDUMP NAMES objdump)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/oldest_glibc.cmake.in ${CMAKE_BINARY_DIR}/oldest_glibc.cmake @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/deb_strip.cmake.in ${CMAKE_BINARY_DIR}/deb_strip.cmake @ONLY)
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_BINARY_DIR}/oldest_glibc.cmake ${CMAKE_BINARY_DIR}/deb_strip.cmake)
endif()

set(CPACK_PACKAGE_NAME quadrill)
set(CPACK_PACKAGE_VENDOR Harnwick)
set(CPACK_PACKAGE_CONTACT "Harnwick <quadrill@harnwick.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quadrill-${PROJECT_VERSION}-${QUADRILL_PACKAGE_SYSTEM})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
