# The Debian package: `cmake --build build --target package` writes kavrel_VERSION_ARCH.deb,
# its run-time dependencies found by dpkg-shlibdeps. Besides the install rules of the targets, it
# holds the manual pages, the AppStream metainfo, the copyright and the changelog.

set(KAVREL_APP_ID "com.quillfenstudio.kavrel" CACHE STRING "The AppStream id of the program")
set(KAVREL_MAINTAINER "Quillfen Studio <kavrel@quillfenstudio.invalid>" CACHE STRING
    "The package's maintainer, as Debian writes it")
set(KAVREL_SCREENSHOTS_URL "https://quillfenstudio.invalid/kavrel/screenshots" CACHE STRING
    "Where the pictures of docs/screenshots are published, for the metainfo")

# The changelog holds the releases; its newest must be this version.
file(STRINGS packaging/changelog changelog)
list(GET changelog 0 newest)
if(NOT newest MATCHES "^kavrel \\(${PROJECT_VERSION}\\)")
    message(FATAL_ERROR "packaging/changelog has no entry for ${PROJECT_VERSION} at its top")
endif()
list(FILTER changelog INCLUDE REGEX "^ -- ")
list(GET changelog 0 signature)
string(REGEX REPLACE ".*>  " "" release_time "${signature}")
execute_process(COMMAND date -u -d "${release_time}" +%F OUTPUT_VARIABLE KAVREL_RELEASE_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(generated ${CMAKE_BINARY_DIR}/packaging)
configure_file(packaging/kavrel.metainfo.xml.in ${generated}/${KAVREL_APP_ID}.metainfo.xml @ONLY)
foreach(page kavrel.1 kavrel-render.1)
    configure_file(packaging/${page} ${generated}/${page} @ONLY)
endforeach()
configure_file(packaging/changelog ${generated}/changelog COPYONLY)
# Debian keeps manual pages and changelogs compressed, without a time stamp.
execute_process(COMMAND gzip -9nf ${generated}/kavrel.1 ${generated}/kavrel-render.1 ${generated}/changelog
                COMMAND_ERROR_IS_FATAL ANY)

install(FILES ${generated}/kavrel.1.gz ${generated}/kavrel-render.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/${KAVREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/copyright ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kavrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavrel)
set(CPACK_PACKAGE_VENDOR "Quillfen Studio")
set(CPACK_PACKAGE_CONTACT "${KAVREL_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by Qt at run time, so no linker sees them: the SVG icons. Found by fontconfig, not linked:
# the fonts of captions and title cards in every script, colour emoji included.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-noto-core, fonts-noto-cjk, fonts-noto-color-emoji")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn photos and music into one video")
set(CPACK_PACKAGE_DESCRIPTION "Kavrel turns a list of photos and a list of music files into one video:
each photo is shown for its own time and enters with its own transition,
and the music is looped under the whole show. A preview plays the show
before it is written; the video is an AVI, WMV, MKV, ASF or MP4 file.
.
kavrel-render writes shows from the command line.")
if(KAVREL_HOMEPAGE)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KAVREL_HOMEPAGE}")
endif()
include(CPack)
