# What `cmake --install` puts on the system, and the Debian package CPack makes of it:
# the program with its menu entry and icon, the station simulator, the command-line tools and
# the example sequence files.
include(GNUInstallDirs)

install(TARGETS tervex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(tool IN ITEMS tervex-station-sim tervex-etr2txt tervex-survey tervex-export tervex-invert tervex-seqgen)
  install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
install(FILES resources/tervex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/tervex.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tervex/examples)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tervex)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tervex)
set(CPACK_PACKAGE_VENDOR "Tervex")
set(CPACK_PACKAGE_CONTACT "Tervex-M1 developers <tervex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control program of the Tervex-M1 resistivity and IP survey station")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Control program of the Tervex-M1 resistivity and induced-polarisation survey station.\n\
Connects to the station over TCP, runs automatic surveys along sequence files of\n\
quadrupoles, contact-resistance and relay tests, shows every record live and keeps\n\
it in .etr data files. Includes a viewer and converters of the data files (text\n\
tables, exports for inversion programs), a sequence generator and a station\n\
simulator for trying the program without a station.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Library dependencies come from the binaries themselves (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The style sheet's SVG icons are drawn by Qt's SVG image plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5svg5")
# Qt's own dialogs in Russian.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
