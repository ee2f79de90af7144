# Installation (cmake --install) and the Debian package (make package).
include(GNUInstallDirs)

# The outside libraries are the program's own: they go to a folder of their own, found
# through the run path from wherever the program is installed.
set(CAPTIVO_PRIVATE_LIBDIR "${CMAKE_INSTALL_LIBDIR}/captivo")
set_target_properties(captivo captivo-sub PROPERTIES INSTALL_RPATH "$ORIGIN/../${CAPTIVO_PRIVATE_LIBDIR}")
install(TARGETS captivo captivo-sub RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS movix vobsub tracks hook speech LIBRARY DESTINATION ${CAPTIVO_PRIVATE_LIBDIR})

install(FILES data/captivo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/org.brindle.Captivo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/icons/captivo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES data/icons/captivo-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME captivo.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME captivo)
set(CPACK_PACKAGE_VENDOR Brindle)
set(CPACK_PACKAGE_CONTACT "support@brindle.example")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Movie player built around subtitles")
set(CPACK_PACKAGE_DESCRIPTION "Captivo plays a movie with its subtitle file (MicroDVD, SubRip, SubStation Alpha, SubViewer, time-code lines or VobSub), corrects their timing with an offset and a frame rate, and shows them under the picture and in full screen.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY captivo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    "${CMAKE_BINARY_DIR}/libs/movix;${CMAKE_BINARY_DIR}/libs/vobsub;${CMAKE_BINARY_DIR}/libs/tracks;${CMAKE_BINARY_DIR}/libs/hook;${CMAKE_BINARY_DIR}/libs/speech")
# Arial's metric twin for the subtitle font, and the toolkit's platform plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins")
# A Wayland session gets a window of its own, not one through the X compatibility server.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
