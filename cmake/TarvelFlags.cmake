# Flags every target of ours takes: the language level and the warnings.
add_library(tarvel_flags INTERFACE)
target_compile_features(tarvel_flags INTERFACE cxx_std_20)
target_compile_options(tarvel_flags INTERFACE -Wall -Wextra)

set(TARVEL_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
if(TARVEL_SANITIZE)
    target_compile_options(tarvel_flags INTERFACE -fsanitize=${TARVEL_SANITIZE} -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=undefined)
    target_link_options(tarvel_flags INTERFACE -fsanitize=${TARVEL_SANITIZE})
endif()
