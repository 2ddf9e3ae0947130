# Installing and the Debian package. Everything the program reads at run time (its device library, the
# data files, the manuals) goes into one program directory, where the data directory rule finds it; the
# command on the PATH is a relative symbolic link into it, and the program finds its directory through
# the real path of its own executable.

set(CONFIGURATOR_PACKAGE_NAME moxta-configurator)
set(CONFIGURATOR_PROGRAM_DIR "lib/${CONFIGURATOR_PACKAGE_NAME}")
set(CONFIGURATOR_APP_ID com.moxta.Configurator)
set(CONFIGURATOR_MAINTAINER "Configurator maintainers <maintainers@configurator.example>")
set(packaging_src "${CMAKE_SOURCE_DIR}/packaging")
set(packaging_bin "${CMAKE_BINARY_DIR}/packaging")
# Directories the install creates are 0755 whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The device library sits beside the program in the installed tree.
set_target_properties(configurator PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS configurator RUNTIME DESTINATION "${CONFIGURATOR_PROGRAM_DIR}")
# A shared library is not run: it is installed without execute bits.
install(TARGETS moxtausbdll LIBRARY DESTINATION "${CONFIGURATOR_PROGRAM_DIR}"
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${CONFIGURATOR_DATA_FILES} ${MANUAL_PDFS} DESTINATION "${CONFIGURATOR_PROGRAM_DIR}")

file(MAKE_DIRECTORY "${packaging_bin}")
file(CREATE_LINK "../${CONFIGURATOR_PROGRAM_DIR}/configurator" "${packaging_bin}/configurator" SYMBOLIC)
install(FILES "${packaging_bin}/configurator" DESTINATION bin)

install(FILES "${packaging_src}/${CONFIGURATOR_APP_ID}.desktop" DESTINATION share/applications)
install(FILES "${packaging_src}/${CONFIGURATOR_APP_ID}.svg" DESTINATION share/icons/hicolor/scalable/apps)
install(FILES "${packaging_src}/${CONFIGURATOR_APP_ID}.png" DESTINATION share/icons/hicolor/256x256/apps)
configure_file("${packaging_src}/${CONFIGURATOR_APP_ID}.metainfo.xml"
  "${packaging_bin}/${CONFIGURATOR_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${packaging_bin}/${CONFIGURATOR_APP_ID}.metainfo.xml" DESTINATION share/metainfo)

# The manual page and the changelog are compressed the way Debian wants them: gzip -9, no name or time
# stamp, so the package is the same at every build.
find_program(GZIP_PROGRAM gzip REQUIRED)
configure_file("${packaging_src}/configurator.1" "${packaging_bin}/configurator.1" @ONLY)
configure_file("${packaging_src}/changelog.in" "${packaging_bin}/changelog" @ONLY)
set(compressed)
foreach(file configurator.1 changelog)
  add_custom_command(OUTPUT "${packaging_bin}/${file}.gz"
    COMMAND "${GZIP_PROGRAM}" -9nf -k "${packaging_bin}/${file}"
    DEPENDS "${packaging_bin}/${file}"
    VERBATIM)
  list(APPEND compressed "${packaging_bin}/${file}.gz")
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${compressed})
install(FILES "${packaging_bin}/configurator.1.gz" DESTINATION share/man/man1)
install(FILES "${packaging_bin}/changelog.gz" "${packaging_src}/copyright"
  DESTINATION "share/doc/${CONFIGURATOR_PACKAGE_NAME}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME "${CONFIGURATOR_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "Moxta")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${CONFIGURATOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for actuator control boxes")
# Debian wants the long description in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Reads the configuration of an actuator control box (the unit that drives"
  "the motors of height-adjustable desks and beds) through a USB-to-LIN"
  "adapter, edits it on a tabbed window, programs it back, keeps it in"
  "configuration files, compares the boxes of a parallel system and downloads"
  "firmware. Five product modes, a standard and an advanced view, live box"
  "status, millimetres or inches, and a manual for every product mode.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CONFIGURATOR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}")
# Not found by the library scan: the window's font, and the desktop's launcher that opens the manuals.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
