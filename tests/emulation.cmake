# Programs built for another platform run through the preset's emulator
# (qemu-i386, wine); without one (32-bit Windows here) they cannot run at all,
# and their tests are reported as skipped, with the reason.
set(kadrimo_can_run TRUE)
set(kadrimo_run_with "")
if(CMAKE_CROSSCOMPILING)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        set(kadrimo_run_with ${CMAKE_CROSSCOMPILING_EMULATOR})
    else()
        set(kadrimo_can_run FALSE)
        set(kadrimo_not_run_reason
            "this machine cannot run ${CMAKE_SYSTEM_NAME} ${CMAKE_SYSTEM_PROCESSOR} programs (no emulator)")
        message(STATUS "Tests that run the built programs are skipped: ${kadrimo_not_run_reason}")
    endif()
endif()

function(kadrimo_add_not_run_test name)
    add_test(NAME ${name}
        COMMAND sh -c [=[echo "skipped: $1"; exit 77]=] sh "${kadrimo_not_run_reason}")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()
