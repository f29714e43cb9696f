# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in the build folder (or ./package) lays out what
# `cmake --install` installs, under /usr, with the dependencies that dpkg-shlibdeps
# finds in the binaries.

# Documentation every Debian package carries, and the manual pages.
configure_file(${CMAKE_SOURCE_DIR}/data/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
  COMMENT "Compressing the package changelog")
set(ORX_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
foreach(page orx-view orx-render)
  configure_file(${CMAKE_SOURCE_DIR}/data/man/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
    COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/man/${page}.1 > ${CMAKE_BINARY_DIR}/man/${page}.1.gz
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
    COMMENT "Compressing the manual page ${page}.1")
  list(APPEND ORX_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1.gz DESTINATION share/man/man1)
endforeach()
add_custom_target(orx_package_docs ALL DEPENDS ${ORX_PACKAGE_DOCS})
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz data/debian/copyright
  DESTINATION share/doc/orx-view)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orx-view)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ORX-View maintainers <maintainers@users.noreply.c-seed-d7c558a0.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D viewer for furniture and cabinet models")
set(CPACK_PACKAGE_DESCRIPTION
  "ORX-View shows furniture and cabinet models that a design program exports
as files with the extension .gl: as hairlines, wireframe, solid shades or
covered with wood textures, lit or unlit, with axis cross, room walls and zero
plane. The model is turned, shifted and zoomed with mouse and keys; pictures
are saved and printed. The viewer can follow the model that the design
program is editing.
.
The package includes orx-render, which draws a model into a picture without a
window, and gives file managers thumbnails of model files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked: Mesa's OpenGL and EGL drivers (the renderer
# draws with them without a display) and Qt's X11 platform plugin; three.js, which
# an exported web page carries inside it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libgl1-mesa-dri, libegl-mesa0, libglx-mesa0, qt6-qpa-plugins, libjs-three")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
