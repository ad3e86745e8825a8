# Installing Varo like a desktop program, and its Debian package.
#
#   cmake --install build [--prefix DIR]   programs in bin, pictures in share/varo, a menu
#                                          entry that starts the program there, a man page
#   cpack --config build/CPackConfig.cmake  a .deb of the same (installs under /usr)
include(GNUInstallDirs)

set(VARO_DATA_DIR ${CMAKE_INSTALL_DATADIR}/varo)
set(VARO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VARO_STAGED_DIR ${PROJECT_BINARY_DIR}/packaging)  # files made at install time

install(TARGETS varo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET varo-capture)
  install(TARGETS varo-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES data/font.bmp data/fisheye.bmp data/monacolor128.bmp DESTINATION ${VARO_DATA_DIR})

# The program reads its pictures from the working directory, so the menu entry starts it in
# the installed data folder, and the man page names that folder. Both learn it at install
# time, when the prefix is known (cmake --install --prefix, or /usr for the package).
install(CODE "
  set(VARO_DATA_PATH \"\${CMAKE_INSTALL_PREFIX}/${VARO_DATA_DIR}\")
  foreach(file varo.desktop varo.6)
    configure_file(\"${VARO_PACKAGING_DIR}/\${file}.in\" \"${VARO_STAGED_DIR}/\${file}\" @ONLY)
  endforeach()
  execute_process(COMMAND gzip -9nf \"${VARO_STAGED_DIR}/varo.6\" COMMAND_ERROR_IS_FATAL ANY)
")
install(FILES ${VARO_STAGED_DIR}/varo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VARO_STAGED_DIR}/varo.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varo)
set(CPACK_PACKAGE_VENDOR "Varo")
set(CPACK_PACKAGE_CONTACT "Varo maintainers <varo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pin-art board waving in front of a tumbling star field")
set(CPACK_PACKAGE_DESCRIPTION
    "Varo is a real-time 3-D graphics show drawn with OpenGL: a board of thin pins whose heads \
wave along the viewing axis, textured with a picture, in front of a tumbling star field, \
steered from the keyboard and the mouse. varo-capture renders its pictures to PNG files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The runtime libraries, by their Debian 12 names (freeglut3 before Debian 12).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libglut3.12 | freeglut3, libglu1-mesa, libgl1, libpng16-16, libstdc++6, libc6")
set(CPACK_STRIP_FILES ON)
include(CPack)
