# Tests that run the built program (or look at it) from Python scripts.

# Windows builds write CR LF and wait with the system's pause.
if(WIN32)
    set(kadrimo_windows_option --windows)
else()
    set(kadrimo_windows_option "")
endif()

# A 32-bit Windows program is emulated here, and each whole run costs minutes
# (half of it the command interpreter started for the pause; eight on a busy
# machine), so such a build gets one typical piped run, which shows the
# banner too; one that cannot run here has its banner read from its file.
set(kadrimo_run_timeout 20)
set(kadrimo_piped_runs "")
if(kadrimo_slow_starts)
    set(kadrimo_run_timeout 1200)
    set(kadrimo_piped_runs --only piped_runs.test_typical_run)
endif()

if(kadrimo_can_run)
    add_test(NAME end_to_end.pipes
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/console/end_to_end_pipes.py
                --timeout ${kadrimo_run_timeout} ${kadrimo_piped_runs} ${kadrimo_windows_option}
                ${kadrimo_run_with} $<TARGET_FILE:kadrimo>)
    set_tests_properties(end_to_end.pipes PROPERTIES TIMEOUT 120)
    if(kadrimo_slow_starts)
        set_tests_properties(end_to_end.pipes PROPERTIES TIMEOUT 1500)
    endif()
else()
    kadrimo_add_not_run_test(end_to_end.pipes)
    add_test(NAME build.banner_version
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/builds/banner_version.py
                $<TARGET_FILE:kadrimo>)
endif()

# The key wait on a terminal is our own only where there is no pause command;
# input and output a careless or hostile caller may hand the program are
# tried there too.
if(NOT WIN32)
    add_test(NAME end_to_end.terminal
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/console/end_to_end_terminal.py
                ${kadrimo_run_with} $<TARGET_FILE:kadrimo>)
    add_test(NAME end_to_end.hostile
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/console/hostile_input.py
                ${kadrimo_run_with} $<TARGET_FILE:kadrimo>)
    set_tests_properties(end_to_end.terminal PROPERTIES TIMEOUT 120)
    set_tests_properties(end_to_end.hostile PROPERTIES TIMEOUT 300)
endif()

# On a terminal, wine gives a Windows program a console: what it writes must
# reach the screen as Japanese whatever the console's code page.
if(WIN32 AND kadrimo_can_run AND NOT kadrimo_slow_starts)
    add_test(NAME end_to_end.windows_console
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/console/end_to_end_terminal.py
                --windows ${kadrimo_run_with} $<TARGET_FILE:kadrimo>)
    set_tests_properties(end_to_end.windows_console PROPERTIES TIMEOUT 120)
endif()

if(WIN32)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
        set(kadrimo_pe_machine i386)
    else()
        set(kadrimo_pe_machine x86-64)
    endif()
    add_test(NAME build.windows_executable
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/builds/windows_executable.py
                --machine ${kadrimo_pe_machine} --objdump ${CMAKE_OBJDUMP}
                $<TARGET_FILE:kadrimo>)
endif()

# The released Linux program carries its C++ runtime but shares the C library.
# A sanitizer's runtime brings libraries of its own, so those builds are not
# what is released.
# Checked where the runtime could be linked in.
if(CMAKE_READELF AND kadrimo_static_runtime AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    add_test(NAME release.runtime_linkage
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/console/runtime_linkage.py
                --readelf ${CMAKE_READELF} $<TARGET_FILE:kadrimo>)
endif()

# The desktop menu entry and the manual page, as installed. A missing tool
# skips its check, and says so.
if(NOT WIN32)
    set(kadrimo_shared_files ${CMAKE_CURRENT_SOURCE_DIR}/share/check_shared_files.py)
    add_test(NAME share.desktop_entry
        COMMAND ${Python3_EXECUTABLE} ${kadrimo_shared_files} desktop-entry
                ${PROJECT_SOURCE_DIR}/share/kadrimo.desktop)
    add_test(NAME share.manual_page
        COMMAND ${Python3_EXECUTABLE} ${kadrimo_shared_files} manual-page
                ${PROJECT_BINARY_DIR}/share/kadrimo.1)
    add_test(NAME share.install
        COMMAND ${Python3_EXECUTABLE} ${kadrimo_shared_files} install
                ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR}/share/kadrimo.desktop)
    set_tests_properties(share.desktop_entry share.manual_page PROPERTIES SKIP_RETURN_CODE 77)
    find_program(KADRIMO_DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(NOT KADRIMO_DESKTOP_FILE_VALIDATE)
        kadrimo_skipped(share.desktop_entry "desktop-file-validate not found: the desktop entry check is skipped")
    endif()
    find_program(KADRIMO_GROFF groff)
    if(NOT KADRIMO_GROFF)
        kadrimo_skipped(share.manual_page "groff not found: the manual page check is skipped")
    endif()
endif()

# The scripts build the texts they expect with the version this build was
# configured with, so that a new version changes project() and nothing else.
get_property(kadrimo_program_tests DIRECTORY PROPERTY TESTS)
set_tests_properties(${kadrimo_program_tests} PROPERTIES ENVIRONMENT KADRIMO_VERSION=${PROJECT_VERSION})
