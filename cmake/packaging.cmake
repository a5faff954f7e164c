# Installing and packaging with CMake's own tools. `cmake --install` puts
# kadrimo in bin/ (on Windows at the top, next to README.txt and
# LICENSE.txt); `cpack` makes kadrimo-VERSION-SYSTEM-ARCH.tar.gz and a
# Debian package for Linux builds, and kadrimo-VERSION-windows-ARCH.zip for
# Windows builds. The version is the project's, like the banner's.

if(WIN32)
    install(TARGETS kadrimo RUNTIME DESTINATION .)
else()
    install(TARGETS kadrimo RUNTIME DESTINATION bin)
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(kadrimo_arch x64)
    set(kadrimo_debian_arch amd64)
else()
    set(kadrimo_arch x86)
    set(kadrimo_debian_arch i386)
endif()

set(CPACK_PACKAGE_NAME kadrimo)
set(CPACK_PACKAGE_VENDOR kadrimo)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Console calculator that brings a picture to the aspect ratio of a target format")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "kadrimo developers <kadrimo@localhost>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kadrimo)

if(WIN32)
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
    set(CPACK_PACKAGE_FILE_NAME kadrimo-${PROJECT_VERSION}-linux-${kadrimo_arch})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${kadrimo_debian_arch})
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    if(kadrimo_debian_arch STREQUAL "amd64")
        # Worked out from the executable's own dynamic dependencies.
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    else()
        # On an amd64 machine dpkg-shlibdeps names the host's multilib
        # package (libc6-i386), which an i386 system does not have. The C++
        # runtime is linked in, so the C library is all the program needs;
        # 2.35 is the oldest with the loader call the built-in unwinder makes.
        set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.35)")
    endif()
endif()

include(CPack)
