# cmake -DBUILD_DIR=… -DSOURCE_DIR=… -DPREFIX=… -P check_install.cmake
# Runs `cmake --install` into PREFIX (emptied first) and checks the installed program, guide,
# desktop entry and icon.

cmake_minimum_required(VERSION 3.25)

function(fail what)
  message(FATAL_ERROR "install check: ${what}")
endfunction()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(status)
  fail("cmake --install failed: ${errors}")
endif()

set(program ${PREFIX}/bin/kelvora)
set(guide ${PREFIX}/share/kelvora/user-guide.html)
set(entry ${PREFIX}/share/applications/kelvora.desktop)
set(icon ${PREFIX}/share/icons/hicolor/scalable/apps/kelvora.svg)
foreach(path ${program} ${guide} ${entry} ${icon})
  if(NOT EXISTS ${path})
    fail("${path} was not installed")
  endif()
endforeach()

# The installed program runs from its new place (headless, so no display is needed).
execute_process(COMMAND ${program} --help RESULT_VARIABLE status OUTPUT_VARIABLE help ERROR_VARIABLE errors)
if(status OR NOT help MATCHES "convert")
  fail("the installed program did not run: ${status} ${errors}")
endif()

# The guide is the one of the source tree, not a stale or empty copy.
file(SHA256 ${guide} installed_guide)
file(SHA256 ${SOURCE_DIR}/docs/user-guide.html source_guide)
if(NOT installed_guide STREQUAL source_guide)
  fail("the installed user guide differs from docs/user-guide.html")
endif()

# The entry passes the freedesktop checker without a word, starts the installed program by
# name with every selected file, shows its icon and names it in English and Japanese.
find_program(VALIDATE desktop-file-validate)
if(NOT VALIDATE)
  fail("desktop-file-validate is missing (scripts/setup-debian.sh installs desktop-file-utils)")
endif()
execute_process(COMMAND ${VALIDATE} ${entry} RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(status OR NOT said STREQUAL "")
  fail("desktop-file-validate: ${said}")
endif()
# Read whole: the entry's lists use ";", which would split CMake list elements.
file(READ ${entry} content)
set(content "\n${content}")
foreach(pattern "\nType=Application\n" "\nExec=kelvora %F\n" "\nIcon=kelvora\n" "\nName=Kelvora\n"
                "\nName\\[ja\\]=[^\n]+" "\nMimeType=[^\n]*audio/flac;" "\nMimeType=[^\n]*audio/mpeg;"
                "\nMimeType=[^\n]*audio/x-wav;" "\nMimeType=[^\n]*audio/ogg;")
  if(NOT content MATCHES "${pattern}")
    fail("the desktop entry has no line matching ${pattern}")
  endif()
endforeach()

# An SVG document, as the scalable icon folder requires.
file(READ ${icon} svg LIMIT 400)
if(NOT svg MATCHES "<svg [^>]*xmlns=\"http://www.w3.org/2000/svg\"")
  fail("${icon} is not an SVG document")
endif()
