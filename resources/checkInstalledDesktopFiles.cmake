# Installs the desktop component of the build BUILD into PREFIX and checks it there: the
# AppStream tree (metainfo and the desktop entry it launches) with APPSTREAMCLI, the desktop entry
# with DESKTOP_FILE_VALIDATE (each when found), and the icon the entry names in the hicolor theme,
# in a fixed size and as a scalable picture.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} --component desktop
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "installing the desktop files failed")
endif()

file(GLOB entries ${PREFIX}/${DATADIR}/applications/*.desktop)
list(LENGTH entries count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one desktop entry, found: ${entries}")
endif()

function(run_validator)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed:\n${out}")
  endif()
endfunction()
if(APPSTREAMCLI)
  run_validator(${APPSTREAMCLI} validate-tree --no-net ${PREFIX})
endif()
if(DESKTOP_FILE_VALIDATE)
  run_validator(${DESKTOP_FILE_VALIDATE} ${entries})
endif()

file(STRINGS ${entries} icon_line REGEX "^Icon=")
string(REGEX REPLACE "^Icon=" "" icon "${icon_line}")
set(theme ${PREFIX}/${DATADIR}/icons/hicolor)
file(GLOB sized ${theme}/*x*/apps/${icon}.png)
if(NOT sized OR NOT EXISTS ${theme}/scalable/apps/${icon}.svg)
  message(FATAL_ERROR "the icon \"${icon}\" named by the desktop entry is missing from ${theme}")
endif()
