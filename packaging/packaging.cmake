# What a Debian package adds to `cmake --install`: the AppStream entry, the
# manual pages made from --help, the copyright file and changelog, and the
# CPack settings. Included from
# app/programs once both programs exist.
include(GNUInstallDirs)
find_program(LUMODM_GZIP gzip REQUIRED)

# Placeholders: whoever publishes the package sets these three.
set(LUMODM_APP_ID "org.example.LumoDM" CACHE STRING "AppStream component id")
set(LUMODM_HOMEPAGE "https://lumodm.example.org" CACHE STRING
  "Project home page; the AppStream screenshot is screenshot.png there")
configure_file("${PROJECT_SOURCE_DIR}/packaging/lumodm.metainfo.xml.in"
  "${CMAKE_CURRENT_BINARY_DIR}/${LUMODM_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/${LUMODM_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# Both programs answer --help and --version without a display, so help2man
# can run them at build time.
find_program(LUMODM_HELP2MAN help2man)
if(LUMODM_HELP2MAN)
  set(pages)
  foreach(program lumodm lumodm-read)
    if(program STREQUAL "lumodm")
      set(name "front panel for DM5010, DM5110 and DM5120 multimeters on GPIB")
    else()
      set(name "take readings from a DM5010, DM5110 or DM5120 multimeter")
    endif()
    set(page "${CMAKE_CURRENT_BINARY_DIR}/${program}.1.gz")
    add_custom_command(OUTPUT "${page}"
      COMMAND "${LUMODM_HELP2MAN}" --no-info --section=1 "--name=${name}"
              "--output=${program}.1" "$<TARGET_FILE:${program}>"
      COMMAND "${LUMODM_GZIP}" -n -9 -f "${program}.1"
      DEPENDS ${program}
      WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
      COMMENT "Manual page ${program}(1) from --help"
      VERBATIM)
    list(APPEND pages "${page}")
  endforeach()
  add_custom_target(lumodm_manpages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
else()
  message(STATUS "help2man not found: no manual pages (scripts/package.sh installs it)")
endif()

# /usr/share/doc/lumodm: the copyright file (machine-readable; it also
# carries the licence of the face built into the window) and the changelog,
# compressed as Debian wants it. The changelog's latest entry must be this
# version, or the package would describe another one.
file(STRINGS "${PROJECT_SOURCE_DIR}/packaging/changelog" lumodm_changelog_head LIMIT_COUNT 1)
string(REPLACE "." "\\." lumodm_version_pattern "${PROJECT_VERSION}")
if(NOT lumodm_changelog_head MATCHES "^lumodm \\(${lumodm_version_pattern}\\) ")
  message(FATAL_ERROR "packaging/changelog begins with \"${lumodm_changelog_head}\": "
    "add an entry for version ${PROJECT_VERSION} at its top")
endif()
configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog"
  "${CMAKE_CURRENT_BINARY_DIR}/changelog" COPYONLY)
execute_process(COMMAND "${LUMODM_GZIP}" -9 -n -c changelog
  OUTPUT_FILE changelog.gz
  WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
  COMMAND_ERROR_IS_FATAL ANY)
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright"
  "${CMAKE_CURRENT_BINARY_DIR}/changelog.gz"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/lumodm")

# Stripped as Debian strips: plain `strip` keeps the compiler's .comment.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(file bin/lumodm bin/lumodm-read ${LUMODM_MODULE_INSTALL_DIR}/lumodm-adapter-ports.so
                 ${LUMODM_MODULE_INSTALL_DIR}/lumodm-readings-window.so)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

# `cpack -G DEB` (scripts/package.sh): lumodm_<version>_<arch>.deb, its
# Depends found from the libraries the programs link.
set(CPACK_PACKAGE_NAME "lumodm")
set(CPACK_PACKAGE_VENDOR "LumoDM")
set(LUMODM_MAINTAINER "LumoDM maintainers <lumodm@example.org>" CACHE STRING
  "The package's maintainer, as name <address>")
set(CPACK_PACKAGE_CONTACT "${LUMODM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "front panel for DM5010, DM5110 and DM5120 multimeters on GPIB")
set(CPACK_PACKAGE_DESCRIPTION
  "LumoDM shows a GPIB bench multimeter's reading in a large seven-segment\n"
  "readout, switches its function and range and takes readings continuously.\n"
  "It works through a GPIB board (Linux GPIB library or NI-488.2, loaded at\n"
  "run time), a Prologix or AR488 USB or Ethernet adapter, or a simulated\n"
  "meter.\n"
  "lumodm-read takes readings without a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opened at run time when publishing, so not among the linked libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmosquitto1")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LUMODM_HOMEPAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
include(CPack)
