# The Debian package: `cpack -G DEB` in the build folder makes courtsider_VERSION_ARCH.deb,
# installed under /usr, its library dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME courtsider)
set(CPACK_PACKAGE_VENDOR "Tarnwell Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "office pool tracker for college-basketball tournaments")
set(CPACK_PACKAGE_DESCRIPTION
    "Courtsider 99 runs a college-basketball office pool: the pool's brackets and teams on the\n\
bracket chart, every player's picks and tie-breaker guess, the results as the tournament\n\
is played, and standings, pick lists and a blank entry sheet on paper, as PDF or as RTF.\n\
courtsider-cli reads and creates pools from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarnwell Software <support@tarnwell.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tarnwell.com/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs are laid out for the widths of the classic sans serif, which Liberation Sans
# shares; with another face their texts are cut off.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
include(CPack)
