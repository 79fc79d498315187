# `cpack -G DEB` in the build folder: a Debian package of what cmake/TolmeoInstall.cmake
# installs, under /usr. dpkg-shlibdeps reads the programs and names the libraries they link,
# so Depends follows the build instead of a list kept by hand.
set(CPACK_PACKAGE_NAME tolmeo)
set(CPACK_PACKAGE_VENDOR "Tolmeo")
# Whoever builds the package for others puts their own name and address here.
set(TOLMEO_PACKAGE_MAINTAINER "Tolmeo maintainers <maintainers@tolmeo.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${TOLMEO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "AVR microcontroller programmer with a Korean interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Tolmeo programs AVR microcontrollers through an ISP cable on the parallel port: it writes
Flash and EEPROM from Intel HEX files, reads them back and verifies them, and edits the lock
and fuse bits one check box per bit. Its windows and texts are Korean. tolmeo-cli does the same
from a terminal, and a virtual AVR lets both be tried without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The file and colour dialogs are the desktop's own, run as a program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "zenity | kdialog")

set(CPACK_GENERATOR DEB)
include(CPack)
