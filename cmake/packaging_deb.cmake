# The Debian package, quadrill_<version>_<arch>.deb: the game in /usr/games,
# its data in /usr/share/games/quadrill (where the game looks when the
# working directory has no textures/), a menu entry, icons, AppStream
# metadata, the manual page and the files Debian wants in every package.
set(deb_source ${CMAKE_SOURCE_DIR}/packaging)
set(deb_staging ${CMAKE_BINARY_DIR}/deb)
set(QUADRILL_APPSTREAM_ID com.harnwick.quadrill)

# Debian wants manual pages and changelogs compressed with gzip -9n (no name, no time).
function(quadrill_gzip source target)
  execute_process(COMMAND gzip -9n -c "${source}" OUTPUT_FILE "${target}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot compress ${source} with gzip")
  endif()
endfunction()
file(MAKE_DIRECTORY ${deb_staging})
configure_file(${deb_source}/linux/quadrill.6.in ${deb_staging}/quadrill.6 @ONLY)
quadrill_gzip(${deb_staging}/quadrill.6 ${deb_staging}/quadrill.6.gz)
# A native package's changelog is changelog.gz.
quadrill_gzip(${deb_source}/debian/changelog ${deb_staging}/changelog.gz)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${deb_source}/debian/changelog)

install(TARGETS quadrill RUNTIME DESTINATION games COMPONENT deb)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/textures/ DESTINATION share/games/quadrill/textures COMPONENT deb
        FILES_MATCHING PATTERN "*.jpg")
install(FILES ${deb_source}/linux/quadrill.desktop DESTINATION share/applications COMPONENT deb)
foreach(side 48 256)
  install(FILES ${deb_source}/icons/quadrill-${side}.png DESTINATION share/icons/hicolor/${side}x${side}/apps
          RENAME quadrill.png COMPONENT deb)
endforeach()
install(FILES ${deb_source}/linux/${QUADRILL_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo COMPONENT deb)
install(FILES ${deb_staging}/quadrill.6.gz DESTINATION share/man/man6 COMPONENT deb)
install(FILES ${deb_source}/debian/copyright ${deb_staging}/changelog.gz DESTINATION share/doc/quadrill
        COMPONENT deb)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Below the synopsis, which CPack takes from PROJECT_DESCRIPTION.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A small real-time first-person 3D game. You ride on a brick player cube in
an arena of brick walls, with a row of wooden crates and a grassy floor.
Everything is a box with a velocity: boxes fall, land on the ground and on
one another, slide to a stop or bounce. Place crates where you look, throw
them, stack them and knock them about; walk and jump, or fly freely.")
# The libraries the binary links, as dpkg-shlibdeps finds them; OpenGL and
# EGL are loaded at run time (by libepoxy and SDL), so no link names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
