# What `make install` and the Debian package put where: the program, the command-line tool and
# the simulated unit in bin, the desktop entry and the icon for the menus. scripts/package
# builds the package with CPack.
include(GNUInstallDirs)

install(TARGETS kovr kovr-cli kovr-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kovr.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kovr.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The package's version is the one the about box and kovr-cli --version show.
set(KOVR_VERSION ${PROJECT_VERSION})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kovr)
set(CPACK_PACKAGE_VERSION ${KOVR_VERSION})
set(CPACK_PACKAGE_VENDOR "KOVR")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Service and commissioning tool for the KOVR valve actuator control unit")
set(CPACK_PACKAGE_DESCRIPTION
    "Watches the actuator live, reads, edits and writes the unit's parameters and production
data, keeps parameter sets in *.par files, prints a report and runs the calibration and test
procedures over the unit's serial line, in Czech, English, Polish and Russian. kovr-cli does
the same without a window, for scripted commissioning; kovr-sim plays a control unit on a
pseudo-terminal for training and trials without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# Debug information stays in the build folder.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KOVR service tool team <kovr@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The Qt libraries (core, gui, widgets, serial port, print support, charts) as dpkg-shlibdeps
# finds them in the binaries, with the versions this build was made against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The main window's Tahoma; it falls back to DejaVu Sans without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-dejavu-core")
include(CPack)
