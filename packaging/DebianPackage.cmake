# `cpack -G DEB` in the build folder makes hourloom_<version>_<arch>.deb,
# installed under /usr. Its runtime dependencies are read from the libraries
# the executable links (dpkg-shlibdeps), so they name the Debian packages the
# program really needs and nothing it does not.
set(CPACK_PACKAGE_NAME hourloom)
set(CPACK_PACKAGE_VENDOR "Hourloom")
set(CPACK_PACKAGE_CONTACT "Hourloom developers <hourloom@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop time tracker that lives in the notification area")
set(CPACK_PACKAGE_DESCRIPTION
    "Hourloom records working time by client and work code in one encrypted\n\
database file that several employees may share, reminds you when your\n\
recorded time falls behind the clock, and reports where the time went.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The menu and tray icons are found through the hicolor theme.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS hicolor-icon-theme)
include(CPack)
