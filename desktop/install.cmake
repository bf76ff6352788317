# The installed program: cmake --install puts the executable in bin/, its
# images and demo in share/tetrad/data/ (where it looks when no data/ sits
# beside it), and the files a desktop needs to list it, open modules with it
# and show its manual page. cpack -G DEB packs the same tree.
include(GNUInstallDirs)

set(TETRAD_SCREENSHOT_URL "https://tetrad.invalid/screenshots" CACHE STRING
    "Web folder holding docs/screenshot-*.png, named in the AppStream data")
set(TETRAD_ID org.tetrad.Tetrad)
set(desktop_out ${CMAKE_BINARY_DIR}/desktop)
file(MAKE_DIRECTORY ${desktop_out})

# The icon, drawn by tools/icongen.cpp.
set(icon_sizes 48 128 256)
set(icon_files ${desktop_out}/tetrad.svg)
foreach(size ${icon_sizes})
  list(APPEND icon_files ${desktop_out}/tetrad-${size}.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND icongen ${desktop_out} ${icon_sizes}
  DEPENDS icongen VERBATIM)

# The manual page, its keys from the same tables the keyboard handler runs on.
string(TIMESTAMP MAN_DATE "%Y-%m-%d" UTC)
configure_file(desktop/tetrad.1.in ${desktop_out}/tetrad.1.body @ONLY)
add_custom_command(OUTPUT ${desktop_out}/tetrad.1
  COMMAND keyref --man > ${desktop_out}/keys.roff
  COMMAND ${CMAKE_COMMAND} -DBODY=${desktop_out}/tetrad.1.body -DKEYS=${desktop_out}/keys.roff
          -DOUT=${desktop_out}/tetrad.1 -P ${CMAKE_SOURCE_DIR}/desktop/manpage.cmake
  DEPENDS keyref ${desktop_out}/tetrad.1.body ${CMAKE_SOURCE_DIR}/desktop/manpage.cmake VERBATIM)
add_custom_target(desktop_files ALL DEPENDS ${icon_files} ${desktop_out}/tetrad.1)

configure_file(desktop/${TETRAD_ID}.metainfo.xml.in ${desktop_out}/${TETRAD_ID}.metainfo.xml @ONLY)

install(TARGETS tetrad RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tetrad/data)
install(FILES desktop/${TETRAD_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/tetrad-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${TETRAD_ID}.xml)
install(FILES ${desktop_out}/${TETRAD_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${icon_sizes})
  install(FILES ${desktop_out}/tetrad-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tetrad.png)
endforeach()
install(FILES ${desktop_out}/tetrad.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${desktop_out}/tetrad.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack -G DEB: tetrad_VERSION_ARCH.deb, its dependencies found from the
# shared libraries the executable links.
set(CPACK_PACKAGE_NAME tetrad)
set(CPACK_PACKAGE_VENDOR "Tetrad")
set(CPACK_PACKAGE_CONTACT "Tetrad developers <tetrad@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "four-channel music module editor and player")
set(CPACK_PACKAGE_DESCRIPTION "Tetrad loads, plays and edits four-channel music modules \
(M.K., M!K!, 4CHN, FLT4) with a pattern editor, a sample editor, a file browser, song \
rendering to WAV, FLAC or AIFF, and note input from MIDI keyboards.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
