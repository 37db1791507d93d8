# The program's icon as PNG files of the usual sizes, rendered from the SVG at build time, for
# the hicolor theme and for the window's own icon.
find_program(R7_RSVG_CONVERT rsvg-convert REQUIRED)
set(R7_ICON_SOURCE ${PROJECT_SOURCE_DIR}/packaging/morvane-r7.svg)
set(R7_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(R7_ICON_SIZES 16 22 24 32 48 64 128 256)
set(R7_ICON_FILES)
foreach(size IN LISTS R7_ICON_SIZES)
  set(png ${R7_ICON_DIR}/${size}x${size}/morvane-r7.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${R7_ICON_DIR}/${size}x${size}
    COMMAND ${R7_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${R7_ICON_SOURCE}
    DEPENDS ${R7_ICON_SOURCE} VERBATIM)
  list(APPEND R7_ICON_FILES ${png})
endforeach()
add_custom_target(morvane-r7-icons ALL DEPENDS ${R7_ICON_FILES})
