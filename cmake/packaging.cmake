# Installing like a program of the desktop, and a Debian package of it (cpack -G DEB) that
# lintian accepts at every level: stripped hardened programs, dependencies worked out from
# them, a machine-readable copyright file, a changelog, manual pages and the desktop
# integration files. The same commit gives the same bytes: the Makefile's package target
# dates every file by the changelog's newest entry (SOURCE_DATE_EPOCH).

# Debian wants documentation compressed without a name or time stamp, so the bytes depend on
# the text alone.
find_program(R7_GZIP gzip REQUIRED)
set(R7_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)
set(R7_GZIPPED)
function(r7_gzip source name)
  set(output ${R7_PACKAGING_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${R7_PACKAGING_DIR}/${name}
    COMMAND ${R7_GZIP} -n -9 -f ${R7_PACKAGING_DIR}/${name}
    DEPENDS ${source} VERBATIM)
  set(R7_GZIPPED ${R7_GZIPPED} ${output} PARENT_SCOPE)
endfunction()

# The changelog's newest entry names the version being built.
file(STRINGS packaging/changelog R7_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT R7_CHANGELOG_TOP MATCHES "^morvane-r7 \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()

r7_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog changelog)
r7_gzip(${PROJECT_SOURCE_DIR}/docs/man/morvane-r7-cli.1 morvane-r7-cli.1)
if(R7_BUILD_GUI)
  r7_gzip(${PROJECT_SOURCE_DIR}/docs/man/morvane-r7.1 morvane-r7.1)
endif()
add_custom_target(morvane-r7-docs ALL DEPENDS ${R7_GZIPPED})

install(FILES packaging/copyright ${R7_PACKAGING_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES packaging/morvane-r7.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME morvane-r7)
install(FILES ${R7_PACKAGING_DIR}/morvane-r7-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/morvane-r7-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME morvane-r7-cli)

if(R7_BUILD_GUI)
  install(FILES ${R7_PACKAGING_DIR}/morvane-r7.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES packaging/morvane-r7.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/morvane-r7-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME morvane-r7.xml)
  install(FILES packaging/com.example.morvane_r7.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES packaging/morvane-r7.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size IN LISTS R7_ICON_SIZES)
    install(FILES ${R7_ICON_DIR}/${size}x${size}/morvane-r7.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# Stripped as dh_strip does: the symbols, and the compiler's .comment and .note sections that
# no program needs (lintian's binary-has-unneeded-section). cpack asks for stripping.
set(R7_PROGRAMS ${CMAKE_INSTALL_BINDIR}/morvane-r7-cli
    ${CMAKE_INSTALL_LIBEXECDIR}/morvane-r7/morvane-r7-sheet)
if(R7_BUILD_GUI)
  list(APPEND R7_PROGRAMS ${CMAKE_INSTALL_BINDIR}/morvane-r7)
endif()
foreach(program IN LISTS R7_PROGRAMS)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${program}\" COMMAND_ERROR_IS_FATAL ANY)
endif()")
endforeach()

set(CPACK_PACKAGE_NAME morvane-r7)
set(CPACK_PACKAGE_VENDOR "Morvane R7 programming software developers")
set(CPACK_PACKAGE_CONTACT "developers@example.com")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Morvane R7 developers <developers@example.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.com/morvane-r7")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming software of the Morvane R7 UHF handheld radio")
set(CPACK_PACKAGE_DESCRIPTION
"Reads the configuration of a Morvane R7, a 16-channel UHF (400-470 MHz)
handheld radio, over its serial programming cable, edits it and writes it
back: channels, general settings, optional features, side keys, information
text, test frequencies and the transmit power calibration. Configurations are
kept as .DAT files.

The window adds undo and redo, copying channel rows to and from a
spreadsheet, CSV export and import, comparing configurations, verifying a
write by reading the radio back and a backup of the radio before writing.
morvane-r7-cli does the same from a terminal or a script.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# The libraries come from the programs themselves (dpkg-shlibdeps); the Qt platform plugins are
# loaded at run time, so no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(R7_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  # The help command opens the user guide with the desktop's opener (xdg-open); without it
  # the window names the guide's path instead.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
endif()
include(CPack)
