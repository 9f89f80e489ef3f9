# Where WallScan's parts land when installed, and the Debian package made of them (CPack reads
# the same install rules that `cmake --install` follows, so the two never disagree).
include(GNUInstallDirs)

install(TARGETS wallscan wallscan-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET wallscan-gauge-sim)
    install(TARGETS wallscan-gauge-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# Templates and samples: the programs look for them in ../share/wallscan from their own folder.
install(DIRECTORY share/ DESTINATION ${CMAKE_INSTALL_DATADIR}/wallscan
        PATTERN desktop EXCLUDE)

if(NOT UNIX OR APPLE)
    return()
endif()

# Desktop integration: the menu entry, its icon, the .mem file type and the software-centre
# entry, all named by one application id.
set(WALLSCAN_APP_ID org.wallscan.WallScan)
set(desktopDir ${CMAKE_CURRENT_SOURCE_DIR}/share/desktop)
install(FILES ${desktopDir}/${WALLSCAN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktopDir}/${WALLSCAN_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${desktopDir}/${WALLSCAN_APP_ID}.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${WALLSCAN_APP_ID}.xml)
install(FILES ${desktopDir}/${WALLSCAN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/wallscan)

# Manual pages, written from each program's --help at build time (gzip -n: no time stamp, so
# two builds of one source give the same package). Not in the sanitizer and fuzzing builds:
# they are never installed, and a sanitizer's report at exit would fail the build there.
if(NOT CMAKE_CROSSCOMPILING AND NOT WALLSCAN_SANITIZE AND NOT WALLSCAN_FUZZ)
    find_program(GZIP_PROGRAM gzip)
    set(pages)
    foreach(spec
            "wallscan|desktop companion of the ultrasonic wall-thickness gauge|OFF"
            "wallscan-cli|WallScan's procedures for scripts and batch work|ON"
            "wallscan-gauge-sim|a stand-in wall-thickness gauge on a pseudo-terminal|OFF")
        string(REPLACE "|" ";" spec "${spec}")
        list(GET spec 0 prog)
        list(GET spec 1 summary)
        list(GET spec 2 sub)
        set(page ${CMAKE_BINARY_DIR}/man/${prog}.1)
        add_custom_command(OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${prog}> -DNAME=${prog}
                    "-DSUMMARY=${summary}" -DVERSION=${PROJECT_VERSION} -DSUBCOMMANDS=${sub}
                    -DOUT=${page} -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ManPage.cmake
            COMMAND ${GZIP_PROGRAM} -9nf ${page}
            DEPENDS ${prog} ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ManPage.cmake
            COMMENT "Manual page of ${prog}" VERBATIM)
        list(APPEND pages ${page}.gz)
    endforeach()
    add_custom_target(wallscan_man ALL DEPENDS ${pages})
    install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The Debian package: bash scripts/package.sh
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wallscan)
set(CPACK_PACKAGE_VENDOR "WallScan")
set(CPACK_PACKAGE_CONTACT "WallScan developers <wallscan@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "desktop companion of a scanning ultrasonic wall-thickness gauge")
set(CPACK_PACKAGE_DESCRIPTION
    "WallScan downloads the scans stored in a scanning ultrasonic wall-thickness gauge over a\n\
serial line and keeps them as .mem measurement files. It shows a scan as a wall-section\n\
profile with zoom, pointer readout and marking, lists the readings in a paged protocol that\n\
flags thin spots, and shows up to ten parallel scans as a rotatable relief. The windows are\n\
in Russian. wallscan-cli runs the same procedures from scripts; wallscan-gauge-sim stands in\n\
for a gauge.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://wallscan.example.org/")
# The libraries the programs link are found by dpkg-shlibdeps, with their lowest versions:
# Qt 6 Core, Gui (which carries the X11 platform plugin), Widgets, PrintSupport (with the CUPS
# plugin), SerialPort and Network, SQLite (libsqlite3-0, the survey archive's catalog) and the
# C++ runtime. Named here: what is loaded at run time rather than linked.
#   qt6-translations-l10n  the toolkit's own Russian texts (dialog buttons, print dialog)
#   fonts-dejavu-core      Cyrillic for "MS Sans Serif" and every window
#   fonts-liberation2      metric stand-ins for "Courier New" and "Times New Roman"
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-dejavu-core, fonts-liberation2")
# Wayland sessions run the program natively with the Wayland plugin, through XWayland without
# it; the desktop tools make the menu entry, the icon and the file type known at once.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, shared-mime-info, desktop-file-utils, xdg-utils")
include(CPack)
