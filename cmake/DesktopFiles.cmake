# Desktop integration of one program: its desktop entry, its AppStream
# metainfo and its icon (SVG, plus PNG sizes when a renderer is available),
# configured into the build tree's share/ and installed under the prefix.
include(GNUInstallDirs)

set(CALYX_HOMEPAGE "https://marrowby.example/calyx" CACHE STRING
    "Home page named in the AppStream metainfo; a packager sets the real one")
set(CALYX_SCREENSHOT_URL "${CALYX_HOMEPAGE}/screenshots" CACHE STRING
    "Folder address under which calyx.png and quire.png are published")
set(CALYX_RELEASE_DATE "2026-12-07" CACHE STRING "Date of this release, for the metainfo")

find_program(CALYX_RSVG_CONVERT rsvg-convert)
set(CALYX_ICON_SIZES 16 24 32 48 64 128 256)

# A value for a desktop entry's Exec key: quoted, with the characters the
# desktop-entry rules reserve inside quotes escaped, when it needs quoting.
function(calyx_desktop_exec_argument out value)
  if(value MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`=%]")
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(REPLACE "`" "\\`" value "${value}")
    string(REPLACE "$" "\\$" value "${value}")
    # The key's own escaping: a backslash is written twice once more.
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "%" "%%" value "${value}")
    set(value "\"${value}\"")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# calyx_desktop_files(NAME DESKTOP_IN METAINFO_IN ICON_SVG)
# The templates may use @EXEC@ (the installed program, escaped for Exec),
# @PROJECT_VERSION@, @CALYX_HOMEPAGE@, @CALYX_SCREENSHOT_URL@ and @CALYX_RELEASE_DATE@.
function(calyx_desktop_files name desktop_in metainfo_in icon_svg)
  # From a folder on every user's PATH the bare name serves, and stays right
  # when a package installs under another prefix than the build's.
  if(CMAKE_INSTALL_FULL_BINDIR MATCHES "^(/usr|/usr/local)?/bin$")
    set(EXEC ${name})
  else()
    calyx_desktop_exec_argument(EXEC "${CMAKE_INSTALL_FULL_BINDIR}/${name}")
  endif()
  set(share ${CMAKE_BINARY_DIR}/share)
  configure_file(${desktop_in} ${share}/applications/${name}.desktop @ONLY)
  configure_file(${metainfo_in} ${share}/metainfo/com.marrowby.${name}.metainfo.xml @ONLY)
  configure_file(${icon_svg} ${share}/icons/hicolor/scalable/apps/${name}.svg COPYONLY)

  install(FILES ${share}/applications/${name}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${share}/metainfo/com.marrowby.${name}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${name}.svg)

  if(CALYX_RSVG_CONVERT)
    set(pngs)
    foreach(size IN LISTS CALYX_ICON_SIZES)
      set(png ${share}/icons/hicolor/${size}x${size}/apps/${name}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${share}/icons/hicolor/${size}x${size}/apps
        COMMAND ${CALYX_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
        DEPENDS ${icon_svg} VERBATIM)
      list(APPEND pngs ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(${name}_icons ALL DEPENDS ${pngs})
  endif()
endfunction()
