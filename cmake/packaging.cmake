# Installing and packaging with CMake's own tools. `cmake --install` puts
# kadrimo in bin/; `cpack` makes kadrimo-VERSION-SYSTEM-ARCH.tar.gz and a
# Debian package for Linux builds, and kadrimo-VERSION-windows-ARCH.zip for
# Windows builds. The version is the project's, like the banner's.

install(TARGETS kadrimo RUNTIME DESTINATION bin)

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
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME kadrimo-${PROJECT_VERSION}-windows-${kadrimo_arch})
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
