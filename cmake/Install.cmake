# Installing Varo like a desktop program, and its Debian package.
#
#   cmake --install build [--prefix DIR]   programs in bin, pictures in share/varo (which the
#                                          program finds beside its bin folder), a menu entry
#                                          with icons, AppStream metadata, man pages, the
#                                          screensaver dialog's config
#   cpack --config build/CPackConfig.cmake  a .deb of the same (installs under /usr)
include(GNUInstallDirs)

# The reverse-DNS name of the program for the desktop: the menu entry and the AppStream
# metadata are named after it and must agree.
set(VARO_APP_ID org.varoproject.Varo)
set(VARO_MAINTAINER "Varo Maintainers <maintainers@varoproject.org>")

set(VARO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/varo)
set(VARO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/varo)
set(VARO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VARO_STAGED_DIR ${PROJECT_BINARY_DIR}/packaging)  # files made at install time

install(TARGETS varo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET varo-capture)
  install(TARGETS varo-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES data/font.bmp data/fisheye.bmp data/monacolor128.bmp DESTINATION ${VARO_DATA_DIR})

install(FILES ${VARO_PACKAGING_DIR}/${VARO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VARO_PACKAGING_DIR}/${VARO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 64 128 256)
  install(FILES ${VARO_PACKAGING_DIR}/icons/${size}x${size}/varo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${VARO_PACKAGING_DIR}/copyright DESTINATION ${VARO_DOC_DIR})
# The settings dialog of XScreenSaver, which lists the programs it finds a config for.
install(FILES ${VARO_PACKAGING_DIR}/varo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

# The man page names the installed data folder, known only at install time (cmake --install
# --prefix, or /usr for the package). Man pages and the changelog are compressed without a
# name or time stamp, so that the same sources give the same package.
install(CODE "
  set(VARO_DATA_PATH \"\${CMAKE_INSTALL_PREFIX}/${VARO_DATA_DIR}\")
  configure_file(\"${VARO_PACKAGING_DIR}/varo.6.in\" \"${VARO_STAGED_DIR}/varo.6\" @ONLY)
  file(COPY \"${VARO_PACKAGING_DIR}/varo-capture.1\" \"${VARO_PACKAGING_DIR}/changelog\"
       DESTINATION \"${VARO_STAGED_DIR}\")
  foreach(file varo.6 varo-capture.1 changelog)
    execute_process(COMMAND gzip -9nf \"${VARO_STAGED_DIR}/\${file}\" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
")
install(FILES ${VARO_STAGED_DIR}/varo.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${VARO_STAGED_DIR}/varo-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VARO_STAGED_DIR}/changelog.gz DESTINATION ${VARO_DOC_DIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varo)
set(CPACK_PACKAGE_VENDOR "The Varo authors")
set(CPACK_PACKAGE_CONTACT "${VARO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pin-art board waving in front of a tumbling star field")
# The summary is its first line; the rest in lines of at most 80 characters, as a terminal
# shows them.
set(CPACK_PACKAGE_DESCRIPTION "Varo is a real-time 3-D graphics show drawn with OpenGL: a board of thin pins
whose heads wave along the viewing axis, textured with a picture, in front of a
tumbling star field, steered from the keyboard and the mouse.
varo-capture renders its pictures to PNG files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A show to watch and steer, not a game: its programs live in /usr/bin, not /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The runtime libraries and their versions, as dpkg-shlibdeps reads them from the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)  # to run it as the screensaver
set(CPACK_STRIP_FILES ON)
set(CPACK_VARO_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripComments.cmake)
include(CPack)
