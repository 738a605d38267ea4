# What `cmake --install` adds beside the programs and the matching library
# (their own folders install those), and the .deb built by `cpack -G DEB`.
set(QUEXA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# The menu entry starts Quexa through the launcher, in a data directory of
# its own.
install(PROGRAMS ${QUEXA_PACKAGING_DIR}/quexa-launch DESTINATION bin)
install(FILES ${QUEXA_PACKAGING_DIR}/quexa.desktop DESTINATION share/applications)
install(FILES ${QUEXA_PACKAGING_DIR}/quexa.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/docs/quexa-cli.1 DESTINATION share/man/man1)

# The manual and its pictures, whichever of them exist when installing (the
# directory is read then, not when configuring).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION share/doc/quexa
        FILES_MATCHING PATTERN "manual.html" PATTERN "*.png" PATTERN "*.jpg" PATTERN "*.gif"
        PATTERN "*.css")

set(CPACK_PACKAGE_NAME quexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quexa developers")
set(CPACK_PACKAGE_CONTACT "Quexa developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Look for text in Web pages")
set(CPACK_PACKAGE_DESCRIPTION
    "Quexa keeps named indexes of Web site addresses and searches their pages (or crawls the\
 sites) for up to four texts joined by AND, OR or NOT, or sends the texts to Web search\
 engines and lists their hits. quexa-cli runs the same searches from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_NAME quexa)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quexa developers")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(QUEXA_DPKG_SHLIBDEPS dpkg-shlibdeps)
# Pages in Chinese, Japanese and Korean show as boxes without a font that
# has their letters; the libraries found below come on top of it.
set(QUEXA_FONT_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
if(QUEXA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${QUEXA_FONT_DEPENDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6printsupport6, libqt6gui6, libqt6core6, libcurl4, libicu72, libstdc++6, libc6, ${QUEXA_FONT_DEPENDS}")
endif()
include(CPack)
