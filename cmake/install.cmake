# What `cmake --install` lays out, and the packages CPack makes: a .deb on
# Linux, a .zip with the saver and a read-me for Windows.
set(CPACK_PACKAGE_NAME orbidial)
set(CPACK_PACKAGE_VENDOR "The Orbidial developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Clock screen saver of six rings of Chinese text")

if(WIN32)
  if(TARGET orbidial_scr)
    install(TARGETS orbidial_scr RUNTIME DESTINATION .)
  endif()
  install(FILES ${PROJECT_BINARY_DIR}/resources/README.txt DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Orbidial-${PROJECT_VERSION}-win64")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

set(ORBIDIAL_RES ${PROJECT_SOURCE_DIR}/resources)

foreach(program orbidial orbidial-render)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# xscreensaver finds hacks in its own folder; ours is the same program.
if(TARGET orbidial)
  # Paths are worked out at install time: CPack installs with its own prefix.
  install(CODE "
    set(hackdir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${hackdir}\")
    file(RELATIVE_PATH target \"\${hackdir}\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/orbidial\")
    file(CREATE_LINK \"\${target}\" \"\$ENV{DESTDIR}\${hackdir}/orbidial\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${hackdir}/orbidial -> \${target}\")
  ")
endif()
install(FILES ${ORBIDIAL_RES}/linux/orbidial.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
# MATE's and Xfce's screen savers list the hacks of applications/screensavers
# and start the one chosen with the path it names.
if(TARGET orbidial)
  install(CODE "
    set(hackdir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver\")
    set(entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/screensavers/orbidial.desktop\")
    configure_file(\"${ORBIDIAL_RES}/linux/orbidial-screensaver.desktop.in\" \"\${entry}\" @ONLY)
    message(STATUS \"Installing: \${entry}\")
  ")
endif()
install(FILES ${ORBIDIAL_RES}/linux/orbidial.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 256)
  install(FILES ${ORBIDIAL_RES}/icons/orbidial-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME orbidial.png)
endforeach()
set(ORBIDIAL_RES_BUILT ${PROJECT_BINARY_DIR}/resources)
install(FILES ${ORBIDIAL_RES_BUILT}/orbidial.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(CODE "
  file(CREATE_LINK orbidial.1.gz \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/orbidial-render.1.gz\" SYMBOLIC)
")
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${ORBIDIAL_RES_BUILT}/copyright ${ORBIDIAL_RES_BUILT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orbidial)

# The fontconfig aliases: where fontconfig itself reads them, as packages do
# (conf.avail, linked from conf.d); the program also loads its own copy.
if(EXISTS ${ORBIDIAL_RES}/fontconfig/orbidial-fonts.conf)
  install(FILES ${ORBIDIAL_RES}/fontconfig/orbidial-fonts.conf
          DESTINATION ${CMAKE_INSTALL_DATADIR}/fontconfig/conf.avail
          RENAME 65-orbidial-fonts.conf)
  install(CODE "
    if(\"\${CMAKE_INSTALL_PREFIX}\" STREQUAL \"/usr\")
      set(confd /etc/fonts/conf.d)
    else()
      set(confd \"\${CMAKE_INSTALL_PREFIX}/etc/fonts/conf.d\")
    endif()
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${confd}\")
    file(CREATE_LINK \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/fontconfig/conf.avail/65-orbidial-fonts.conf\"
         \"\$ENV{DESTDIR}\${confd}/65-orbidial-fonts.conf\" SYMBOLIC)
  ")
endif()

set(CPACK_PACKAGE_DESCRIPTION
    "Orbidial shows the date and time as six concentric rings of Chinese text\naround a year line. Runs full screen, as a preview, or as an xscreensaver hack.")
set(CPACK_GENERATOR DEB)
# The package installs where the build was configured to: build it with
# scripts/package.sh, which configures for /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORBIDIAL_MAINTAINER}")
# What Debian asks of a binary package: programs without symbols (the
# debugging information stays in the build tree).
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-arphic-gkai00mp, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
include(CPack)
