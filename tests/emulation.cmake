# Programs built for another platform run through the preset's emulator
# (qemu-i386, wine); without one they cannot run at all, and their tests are
# reported as skipped, with the reason.
set(kadrimo_can_run TRUE)
set(kadrimo_run_with "")

# 32-bit Windows programs need wine32, and where the kernel cannot start
# 32-bit programs itself, qemu-i386 registered with binfmt_misc
# (scripts/enable-wine32 sets both up). Without them the emulator is dropped,
# so that nothing, compare_builds.py included, tries to run the build.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_CROSSCOMPILING_EMULATOR)
    execute_process(COMMAND /usr/lib/wine/wine --version
                    RESULT_VARIABLE kadrimo_wine32_status OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
    if(NOT kadrimo_wine32_status EQUAL 0)
        set(CMAKE_CROSSCOMPILING_EMULATOR "" CACHE STRING "" FORCE)
        set(kadrimo_not_run_reason
            "this machine cannot run 32-bit Windows programs (wine32 missing or not startable; run scripts/enable-wine32 as root)")
    endif()
endif()

# Each start of a 32-bit Windows program is emulated and slow where the
# kernel cannot start 32-bit programs itself; such a build runs its programs
# as few times as will test them, wherever it runs.
set(kadrimo_slow_starts FALSE)
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(kadrimo_slow_starts TRUE)
endif()

if(CMAKE_CROSSCOMPILING)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        set(kadrimo_run_with ${CMAKE_CROSSCOMPILING_EMULATOR})
    else()
        set(kadrimo_can_run FALSE)
        if(NOT kadrimo_not_run_reason)
            set(kadrimo_not_run_reason
                "this machine cannot run ${CMAKE_SYSTEM_NAME} ${CMAKE_SYSTEM_PROCESSOR} programs (no emulator)")
        endif()
        kadrimo_skipped(runs "tests that run the built programs are skipped: ${kadrimo_not_run_reason}")
    endif()
endif()

function(kadrimo_add_not_run_test name)
    add_test(NAME ${name}
        COMMAND sh -c [=[echo "skipped: $1"; exit 77]=] sh "${kadrimo_not_run_reason}")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()
