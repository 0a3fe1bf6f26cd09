# Reads the hardening back from built files, so that it cannot go unnoticed.
# Usage: cmake -DFILES=<file;...> -DCOMPILED_CHECKS=ON|OFF -DFORTIFIED=ON|OFF -P check_hardening.cmake
#   every file: full RELRO (a GNU_RELRO segment and immediate binding);
#   COMPILED_CHECKS: every file calls __stack_chk_fail (stack protector);
#   FORTIFIED: at least one file calls a checked __*_chk function.
find_program(READELF NAMES readelf REQUIRED)

set(fortified_files "")
foreach(file IN LISTS FILES)
    execute_process(COMMAND ${READELF} --wide --program-headers --dynamic --dyn-syms ${file}
                    OUTPUT_VARIABLE elf RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cannot read ${file}")
    endif()
    if(NOT elf MATCHES "GNU_RELRO")
        message(FATAL_ERROR "${file}: no GNU_RELRO segment (link with -z relro)")
    endif()
    if(NOT elf MATCHES "\\(FLAGS\\)[^\n]*BIND_NOW" AND NOT elf MATCHES "\\(FLAGS_1\\)[^\n]*NOW")
        message(FATAL_ERROR "${file}: symbols are bound lazily (link with -z now)")
    endif()
    if(COMPILED_CHECKS AND NOT elf MATCHES "__stack_chk_fail")
        message(FATAL_ERROR "${file}: no stack protector (compile with -fstack-protector-strong)")
    endif()
    if(elf MATCHES "__[a-z0-9_]+_chk[@ \n]")
        list(APPEND fortified_files ${file})
    endif()
endforeach()
if(FORTIFIED AND NOT fortified_files)
    message(FATAL_ERROR "no checked library calls in ${FILES} (compile with -D_FORTIFY_SOURCE=2)")
endif()
message(STATUS "hardened: ${FILES}; checked library calls in ${fortified_files}")
