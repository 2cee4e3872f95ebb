# cpack -G DEB: the Debian package lumadial (see scripts/package). The libraries it needs come
# from dpkg-shlibdeps; ppp it runs as a program, so it is named here.
set(CPACK_PACKAGE_NAME lumadial)
set(CPACK_PACKAGE_VENDOR "The Lumadial developers")
set(CPACK_PACKAGE_CONTACT "The Lumadial developers <lumadial@lumadial.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "connection manager for 3G USB data cards")
set(CPACK_PACKAGE_DESCRIPTION
  "Lumadial follows a 3G USB data card from insertion to SIM ready, shows signal, operator,\n"
  "network type and roaming, dials the Internet connection over pppd, and turns the card's\n"
  "phone functions into windows: SMS, USSD, contacts, calls and call records, the SIM toolkit\n"
  "menu, supplementary services and PIN management.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://lumadial.org")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# Without the build's debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the package's own libraries here, not in a package of their own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${LUMADIAL_PROGRAM_DIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ppp")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mobile-broadband-provider-info")
include(CPack)
