# Flags every target of ours takes: the language level and the warnings.
add_library(tarvel_flags INTERFACE)
target_compile_features(tarvel_flags INTERFACE cxx_std_20)
target_compile_options(tarvel_flags INTERFACE -Wall -Wextra
    $<$<COMPILE_LANGUAGE:CXX>:-Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-qual>)

set(TARVEL_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(TARVEL_SANITIZE)
    target_compile_options(tarvel_flags INTERFACE -fsanitize=${TARVEL_SANITIZE} -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=undefined)
    target_link_options(tarvel_flags INTERFACE -fsanitize=${TARVEL_SANITIZE})
    # Objects a component hands out are reached through interface pointers
    # and need not be C++ objects of any type we know (a C component fills
    # its own tables), so the dynamic-type check of virtual calls cannot hold.
    if(TARVEL_SANITIZE MATCHES "undefined")
        target_compile_options(tarvel_flags INTERFACE -fno-sanitize=vptr)
    endif()
endif()

# Hardening of every program and of the component: canaries on the stack,
# probes for stack clashes, control-flow protection where the target has it,
# and a relocation table that is read-only once the program has started
# (full RELRO: every symbol bound at load time). Checked on the built files
# by the tarvel_hardening test.
include(CheckCXXCompilerFlag)
foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "TARVEL_HAS${flag}" has_flag)
    check_cxx_compiler_flag(${flag} ${has_flag})
    if(${has_flag})
        target_compile_options(tarvel_flags INTERFACE ${flag})
    endif()
endforeach()
target_link_options(tarvel_flags INTERFACE "LINKER:-z,relro" "LINKER:-z,now")
# The checked library functions need the optimiser, and the sanitizers do
# their own checking of the same calls.
if(NOT TARVEL_SANITIZE)
    target_compile_definitions(tarvel_flags INTERFACE
        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
