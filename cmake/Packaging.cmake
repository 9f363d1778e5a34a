# Installing and the Debian package (`make package`: CPack's DEB generator).
# The package carries both programs, the desktop entry, the icon, the result file's
# MIME type, the manual pages and the bash completion; its dependencies are computed
# from the binaries by dpkg-shlibdeps.
include(GNUInstallDirs)
# Directories in the package are rwxr-xr-x whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(VELMORA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(VELMORA_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VELMORA_UI)
  install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${VELMORA_PACKAGING_DIR}/velmora.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${VELMORA_PACKAGING_DIR}/velmora.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 128 256)
    install(FILES ${VELMORA_PACKAGING_DIR}/velmora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME velmora.png)
  endforeach()
endif()
install(FILES ${VELMORA_PACKAGING_DIR}/velmora-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME velmora.xml)

# Manual pages, completion and change log come from the built velmora-cli when it is
# installed, so that they list exactly the commands and options it has.
install(CODE "
  execute_process(
    COMMAND ${VELMORA_PACKAGING_DIR}/make-docs $<TARGET_FILE:velmora-cli>
            ${VELMORA_PACKAGING_OUT} ${PROJECT_VERSION}
    RESULT_VARIABLE velmora_docs_rc)
  if(NOT velmora_docs_rc EQUAL 0)
    message(FATAL_ERROR \"packaging/make-docs failed: \${velmora_docs_rc}\")
  endif()")
install(FILES ${VELMORA_PACKAGING_OUT}/velmora-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(VELMORA_UI)
  install(FILES ${VELMORA_PACKAGING_OUT}/velmora.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${VELMORA_PACKAGING_OUT}/velmora-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME velmora-cli)
install(FILES ${VELMORA_PACKAGING_OUT}/changelog.gz ${VELMORA_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velbund")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@velbund.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "evaluation of lifesaving-sport championships")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Velmora evaluates lifesaving-sport (Rettungssport) championships: age classes
and disciplines from the rule-set presets, participants or teams with times,
penalties and resuscitation (HLW) points, scoring and ranking, qualification,
heats and lanes, result and start lists as PDF, club statistics, and exports
to CSV, HTML, dBase and Excel. Its interface is German.

The package holds the desktop program velmora, which opens result files (.ERG)
from the desktop's menu or on a double click, and the command-line tool
velmora-cli for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws its windows through a platform plugin that no binary links; the German
# texts of Qt's own dialogs and the fonts the printed lists are measured with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, shared-mime-info, desktop-file-utils, xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/;/\\\\.git/")
include(CPack)

if(VELMORA_TESTS)
  if(VELMORA_UI)
    set(velmora_gui_for_check $<TARGET_FILE:velmora>)
  else()
    set(velmora_gui_for_check -)
  endif()
  add_test(NAME packaging.generated
           COMMAND ${VELMORA_PACKAGING_DIR}/check-generated $<TARGET_FILE:velmora-cli>
                   ${velmora_gui_for_check} ${PROJECT_VERSION})
endif()
