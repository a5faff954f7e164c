# Installing and packaging with CMake's own tools. `cmake --install` puts
# kadrimo in bin/ (on Windows at the top, next to README.txt and
# LICENSE.txt); `cpack` makes kadrimo-VERSION-SYSTEM-ARCH.tar.gz and a
# Debian package for Linux builds, and kadrimo-VERSION-windows-ARCH.zip for
# Windows builds, and kadrimo-VERSION-web.zip (the page) and
# kadrimo-VERSION-web-site.zip (the site to host) for the web build. The version
# is the project's, like the banner's.
include(GNUInstallDirs)

if(EMSCRIPTEN)
    install(TARGETS kadrimo_page RUNTIME DESTINATION . COMPONENT page)
    if(kadrimo_site_outputs)
        install(FILES ${kadrimo_site_outputs} DESTINATION . COMPONENT site)
    endif()
elseif(WIN32)
    install(TARGETS kadrimo RUNTIME DESTINATION .)
else()
    install(TARGETS kadrimo RUNTIME DESTINATION bin)
endif()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
    set(kadrimo_arch arm64)
    set(kadrimo_debian_arch arm64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(kadrimo_arch x64)
    set(kadrimo_debian_arch amd64)
else()
    set(kadrimo_arch x86)
    set(kadrimo_debian_arch i386)
endif()

set(CPACK_PACKAGE_NAME kadrimo)
set(CPACK_PACKAGE_VENDOR "the kadrimo authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Console calculator that brings a picture to the aspect ratio of a target format")
set(CPACK_PACKAGE_DESCRIPTION [=[kadrimo asks, in Japanese, for a target format (an own-design card sleeve,
an Android wallpaper, the iPhone4S, or a width and height typed by hand)
and for the width and height of a picture. It prints the height that fits
the picture's width and the width that fits its height, so that the
picture can be cropped or scaled to the target's aspect ratio.]=])
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The maintainers' address as the project's history records it; the project
# owns no domain of its own, so none that may belong to somebody else is used.
set(CPACK_PACKAGE_CONTACT
    "kadrimo maintainers <maintainers@users.noreply.c-seed-db36cc13.example>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kadrimo)

if(EMSCRIPTEN)
    # Two zips: the page, which needs nothing beside it, and the site to
    # host (where rsvg-convert could make it). Each holds its files with what
    # they are and their licence, at the top; the README's lines marked
    # "page|" or "site|" are that zip's own. The texts are plain UTF-8 with
    # LF: they are read on any system.
    set(kadrimo_web_zips page)
    if(kadrimo_site_outputs)
        list(APPEND kadrimo_web_zips site)
    endif()
    set(kadrimo_readme_source ${PROJECT_SOURCE_DIR}/share/readme_web.txt.in)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${kadrimo_readme_source})
    file(READ ${kadrimo_readme_source} kadrimo_readme_text)
    foreach(component ${kadrimo_web_zips})
        string(REGEX REPLACE "\n${component}\\|" "\n" kadrimo_readme_own "${kadrimo_readme_text}")
        string(REGEX REPLACE "\n(page|site)\\|[^\n]*" "" kadrimo_readme_own
               "${kadrimo_readme_own}")
        set(kadrimo_readme ${CMAKE_BINARY_DIR}/readme-${component}/README.txt)
        file(CONFIGURE OUTPUT ${kadrimo_readme} CONTENT "${kadrimo_readme_own}" @ONLY)
        install(FILES ${kadrimo_readme} DESTINATION . COMPONENT ${component})
        install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt
                COMPONENT ${component})
    endforeach()
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME kadrimo-${PROJECT_VERSION}-web)
    set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_GROUPING IGNORE)
    set(CPACK_ARCHIVE_PAGE_FILE_NAME kadrimo-${PROJECT_VERSION}-web)
    set(CPACK_ARCHIVE_SITE_FILE_NAME kadrimo-${PROJECT_VERSION}-web-site)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
elseif(WIN32)
    # What a Windows user downloads: the program, stripped (its symbols and
    # the runtime's debugging information are of no use to a user), with
    # what it is and its licence beside it, all at the top of the zip, so
    # "Extract All" gives one folder. Both texts are for Notepad: CR LF, and
    # the README, which is Japanese and English, UTF-8 with a byte order
    # mark, so that Notepads older than Windows 10 1903, which would take
    # text without one for the ANSI code page, read it right too.
    set(kadrimo_readme ${CMAKE_BINARY_DIR}/README.txt)
    set(kadrimo_license ${CMAKE_BINARY_DIR}/LICENSE.txt)
    configure_file(${PROJECT_SOURCE_DIR}/share/readme_windows.txt.in ${kadrimo_readme}
                   @ONLY NEWLINE_STYLE CRLF)
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${kadrimo_license} @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${kadrimo_readme} ${kadrimo_license} DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME kadrimo-${PROJECT_VERSION}-windows-${kadrimo_arch})
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_STRIP_FILES ON)
else()
    set(CPACK_GENERATOR TGZ DEB)
    # What a Debian package carries besides the program: the licence as its
    # copyright file, a compressed changelog, and binaries without symbols.
    # Both archives carry the same.
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR}
            RENAME copyright)
    string(TIMESTAMP kadrimo_package_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
    kadrimo_gzip(${PROJECT_BINARY_DIR}/changelog kadrimo_changelog)
    install(FILES ${kadrimo_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kadrimo)
    set(CPACK_STRIP_FILES ON)
    # strip keeps the compilers' version notes; a stripped install drops them too.
    if(CMAKE_OBJCOPY)
        string(CONFIGURE [=[
            if(CMAKE_INSTALL_DO_STRIP)
                execute_process(COMMAND "@CMAKE_OBJCOPY@" --remove-section=.comment
                    "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/$<TARGET_FILE_NAME:kadrimo>"
                    COMMAND_ERROR_IS_FATAL ANY)
            endif()]=] kadrimo_drop_comment @ONLY)
        install(CODE "${kadrimo_drop_comment}")
    endif()
    set(CPACK_PACKAGE_FILE_NAME kadrimo-${PROJECT_VERSION}-linux-${kadrimo_arch})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${kadrimo_debian_arch})
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    find_program(KADRIMO_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(NOT CMAKE_CROSSCOMPILING AND KADRIMO_DPKG_SHLIBDEPS)
        # Worked out from the executable's own dynamic dependencies.
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    else()
        # A cross build's libraries are not the host's, so dpkg-shlibdeps
        # cannot name the packages they come from (nor can it run off Debian).
        # The C++ runtime is linked in, so the C library is all the program
        # needs; 2.35 is the oldest with the loader call the built-in
        # unwinder makes.
        set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.35)")
    endif()
endif()

include(CPack)
