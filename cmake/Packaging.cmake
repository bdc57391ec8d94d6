# What a user installs, and the packages made from it (tools/package.sh): on Windows a zip
# of one folder (the programs, examples\ and README.txt), on Linux a Debian package (the
# programs in bin/, the examples, a desktop entry and the icon). The version comes from
# project(VERSION), its one place.
set(CORELITH_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

if(WIN32)
  configure_file(${CORELITH_PACKAGING_DIR}/README.txt.in ${PROJECT_BINARY_DIR}/README.txt @ONLY
                 NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
else()
  install(FILES ${CORELITH_PACKAGING_DIR}/corelith.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/platform/win32/resources/corelith.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

set(CPACK_PACKAGE_NAME corelith)
set(CPACK_PACKAGE_VENDOR "The Corelith developers")
set(CPACK_PACKAGE_CONTACT "The Corelith developers <corelith@invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Workbench for microfossil transfer functions (analog method and factor analysis)")
set(CPACK_PACKAGE_DESCRIPTION
    "Corelith checks and converts census tables of planktonic foraminifera, builds analog and \
transfer-function projects, ranking systems and counts; marvane computes the analog method \
with virtual reference samples, quillon the factor-analytic transfer function.")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME corelith-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # corelith_VERSION_amd64.deb
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  # The Qt 6 runtime (and its X11 and Wayland platform plugins); the standard libraries.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins, libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1")
  # "Execute Marvane" opens the console engine in a terminal window.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xterm | x-terminal-emulator")
endif()
include(CPack)
