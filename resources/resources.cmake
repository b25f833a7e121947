# What the window carries inside it and what `cmake --install` puts on the
# desktop. Included from app/programs once lumodm_qt exists.

# The seven-segment readout face (DSEG7 Classic Bold Italic, SIL Open Font
# License) is compiled into the window library, so the readout never falls
# back to a plain face, whatever fonts the machine has.
qt_add_resources(lumodm_qt lumodm_fonts
  PREFIX "/lumodm/fonts"
  BASE "${PROJECT_SOURCE_DIR}/resources/fonts"
  FILES "${PROJECT_SOURCE_DIR}/resources/fonts/DSEG7Classic-BoldItalic.ttf")

include(GNUInstallDirs)
install(FILES "${PROJECT_SOURCE_DIR}/resources/lumodm.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
foreach(size 16 24 32 48 64 128 256)
  install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/lumodm-${size}.png"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
    RENAME lumodm.png)
endforeach()
# The font's licence goes with the program in packaging/copyright.
