# What `make install` and the Debian package put where: the program, the command-line tool and
# the simulated unit in bin, the desktop entry and the icon for the menus. scripts/package
# builds the package with CPack.
include(GNUInstallDirs)

# The package's version is the one the about box and kovr-cli --version show.
set(KOVR_VERSION ${PROJECT_VERSION})
set(kovr_packaging ${CMAKE_CURRENT_LIST_DIR})
set(kovr_generated ${CMAKE_BINARY_DIR}/packaging)
set(kovr_doc ${CMAKE_INSTALL_DATADIR}/doc/kovr)

install(TARGETS kovr kovr-cli kovr-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${kovr_packaging}/kovr.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${kovr_packaging}/kovr.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Double-clicking a parameter file opens it in the program.
install(FILES ${kovr_packaging}/kovr-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME kovr.xml)
install(FILES ${kovr_packaging}/kovr-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kovr-cli)
configure_file(${kovr_packaging}/kovr.metainfo.xml
               ${kovr_generated}/eu.kovr.ServiceTool.metainfo.xml @ONLY)
install(FILES ${kovr_generated}/eu.kovr.ServiceTool.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${kovr_packaging}/copyright DESTINATION ${kovr_doc})
# The technician's guide, which the program's "Příručka" (F1) shows, with the pictures its pages
# link to, in the same places relative to the pages as in the source tree.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guide DESTINATION ${kovr_doc})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/gallery DESTINATION ${kovr_doc}
        FILES_MATCHING PATTERN "*.png")
install(FILES ${kovr_packaging}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kovr)

# Compressed without a time stamp, so that the same tree gives the same package.
function(kovr_gzip source target)
  execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${target} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source}: ${failed}")
  endif()
endfunction()
set(KOVR_DEBIAN_VERSION ${KOVR_VERSION}-1)
configure_file(${kovr_packaging}/changelog.in ${kovr_generated}/changelog.Debian @ONLY)
kovr_gzip(${kovr_generated}/changelog.Debian ${kovr_generated}/changelog.Debian.gz)
install(FILES ${kovr_generated}/changelog.Debian.gz DESTINATION ${kovr_doc})

# Manual pages from the programs' own help, in English (target "manpages"; scripts/package
# builds it). Without help2man there are none, and the package check says so.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  # A working directory whose kovr.ini asks for English (help2man runs the programs in the C
  # locale), and a home folder of "~", so that the per-user settings read ~/.config/kovr.
  file(WRITE ${kovr_generated}/man-home/kovr.ini "[Setup]\nLang=1\n")
  set(pages)
  foreach(program kovr kovr-cli kovr-sim)
    set(page ${kovr_generated}/${program}.1.gz)
    # The programs found on PATH, so that no build path shows.
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E env --unset=XDG_CONFIG_HOME HOME=~
              QT_QPA_PLATFORM=offscreen PATH=$<TARGET_FILE_DIR:${program}>:$ENV{PATH}
              ${HELP2MAN} --no-info --no-discard-stderr --section=1
              --include=${kovr_packaging}/man/${program}.h2m
              --output=${kovr_generated}/${program}.1 ${program}
      COMMAND gzip -9 -n -f ${kovr_generated}/${program}.1
      WORKING_DIRECTORY ${kovr_generated}/man-home
      DEPENDS ${program} ${kovr_packaging}/man/${program}.h2m
      VERBATIM)
    list(APPEND pages ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 OPTIONAL)
  endforeach()
  add_custom_target(manpages DEPENDS ${pages})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kovr)
set(CPACK_PACKAGE_VERSION ${KOVR_VERSION})
# The first packaging of this version: a Debian revision, with its changelog.Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_VENDOR "KOVR")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Service and commissioning tool for the KOVR valve actuator control unit")
# Lines of at most 79 characters: the package's long description as dpkg shows it.
set(CPACK_PACKAGE_DESCRIPTION
    "Watches the actuator live, reads, edits and writes the unit's parameters and
production data, keeps parameter sets in *.par files, prints a report and runs
the calibration and test procedures over the unit's serial line, in Czech,
English, Polish and Russian. kovr-cli does the same without a window, for
scripted commissioning; kovr-sim plays a control unit on a pseudo-terminal for
training and trials without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# Debug information stays in the build folder.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KOVR service tool team <kovr-service@example.com>")
# Qt's own texts (message box buttons, context menus) in Czech, Polish and Russian.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The Qt libraries (core, gui, widgets, serial port, print support, svg) as dpkg-shlibdeps
# finds them in the binaries, with the versions this build was made against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The main window's Tahoma; it falls back to DejaVu Sans without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-dejavu-core")
include(CPack)
