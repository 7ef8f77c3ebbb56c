# `cpack -G DEB` in the build folder makes a Debian package of what `cmake --install` puts in
# place. The libraries the program links come from dpkg-shlibdeps; what it loads or uses
# without linking (the Japanese font its pictures are drawn with) is named here.
set(CPACK_PACKAGE_NAME kelvora)
set(CPACK_PACKAGE_VENDOR "Kelvora")
set(KELVORA_PACKAGE_MAINTAINER "Kelvora developers <kelvora@localhost>" CACHE STRING
    "Maintainer field of the Debian package: whoever builds a package to hand out sets it")
set(CPACK_PACKAGE_CONTACT "${KELVORA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop workbench for acoustics and speech teaching")
set(CPACK_PACKAGE_DESCRIPTION
    "Sounds are loaded, recorded or generated into waveform windows; analysis and editing tools\n\
work on a copy of the active sound and hand back a new sound or picture. Reads WAV, FLAC,\n\
Ogg Vorbis, Opus, MP3, AIFF, CAF and W64 files. Every tool also runs from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipaexfont-gothic")
# Japanese standard buttons, Wayland sessions, and opening the user guide in a browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland, xdg-utils")

include(CPack)
