# Sets OUTPUT to FILE compressed as FILE.gz with gzip -9n, which leaves out
# the name and time (so the same sources give the same bytes), or to FILE
# itself where there is no gzip.
function(kadrimo_gzip file output)
    find_program(KADRIMO_GZIP gzip)
    if(KADRIMO_GZIP)
        execute_process(COMMAND ${KADRIMO_GZIP} -9nf -k ${file} COMMAND_ERROR_IS_FATAL ANY)
        set(${output} ${file}.gz PARENT_SCOPE)
    else()
        set(${output} ${file} PARENT_SCOPE)
    endif()
endfunction()
