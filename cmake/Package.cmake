# The Debian package, made by CPack from the install rules (scripts/package builds it):
#   cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DRIGSMITH_TESTS=OFF
#   cmake --build build-pkg && cd build-pkg && cpack
# Depends is computed by dpkg-shlibdeps from the programs' libraries.

include(${CMAKE_CURRENT_LIST_DIR}/Install.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rigsmith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Rigsmith developers")
set(CPACK_PACKAGE_CONTACT "${RIGSMITH_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for DMX lighting fixture definition files")
set(CPACK_PACKAGE_DESCRIPTION [=[
Rigsmith edits the fixture definition files (.fxr) of a DMX lighting
controller: the base parameters of one model of lighting instrument, its
attributes (8- or 16-bit logical channels with patch, range and flags), its
commands (lists of DMX steps such as lamp on) and its palettes (presets with
colours and icons, with the Lee gel catalog at hand). It checks a definition
before saving it, and reads and writes file format 1.0 and format 2.

The package also holds rigsmith-fxr, which checks, converts and dumps
fixture files from the command line, and sample fixtures.]=])

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RIGSMITH_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
