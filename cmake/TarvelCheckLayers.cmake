# tarvel_check_layer(<folder> [USES <layer>...] [HEADERS <header>...]
#                    [SOURCES <file>...] [PUBLIC <lib>...] [PRIVATE <lib>...])
#
# Makes checks/src/<folder> the static library tarvel_check_<folder>: every
# .cpp of the folder (a new file needs no edit here) and SOURCES. USES names
# the layers it builds on; each must have been declared before it, so the
# order of the calls is the order of the layers and a cycle cannot be
# written. HEADERS are the files of checks/include/checks/ the layer
# implements: another layer may include them only when it uses this one
# (scripts/check-layers reads these calls and checks every #include).
#
# Static libraries link even when they name each other in a circle, so once
# the project is read every layer's links are checked again: a
# target_link_libraries written elsewhere that points to a layer declared
# later (or to itself) fails the configuration.
include_guard(GLOBAL)

function(tarvel_check_layer folder)
    cmake_parse_arguments(arg "" "" "USES;HEADERS;SOURCES;PUBLIC;PRIVATE" ${ARGN})
    set(target tarvel_check_${folder})
    set(source_dir ${CMAKE_CURRENT_SOURCE_DIR}/src/${folder})
    if(NOT IS_DIRECTORY ${source_dir})
        message(FATAL_ERROR "tarvel_check_layer: no folder ${source_dir}")
    endif()
    foreach(layer IN LISTS arg_USES)
        if(NOT TARGET tarvel_check_${layer})
            message(FATAL_ERROR "checks/src/${folder} uses ${layer}, which is not declared before it: "
                                "a layer builds only on layers declared before it")
        endif()
        list(APPEND arg_PUBLIC tarvel_check_${layer})
    endforeach()
    foreach(header IN LISTS arg_HEADERS)
        if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/include/checks/${header})
            message(FATAL_ERROR "tarvel_check_layer(${folder}): no header include/checks/${header}")
        endif()
    endforeach()

    file(GLOB sources CONFIGURE_DEPENDS ${source_dir}/*.cpp)
    add_library(${target} STATIC ${sources} ${arg_SOURCES})
    target_include_directories(${target} PUBLIC include PRIVATE src)
    target_link_libraries(${target} PUBLIC ${arg_PUBLIC} tarvel_flags PRIVATE ${arg_PRIVATE})
    tarvel_forbid_qt(${target})

    set_property(GLOBAL APPEND PROPERTY TARVEL_CHECK_LAYERS ${target})
    get_property(verifying GLOBAL PROPERTY TARVEL_CHECK_LAYERS_VERIFIED SET)
    if(NOT verifying)
        set_property(GLOBAL PROPERTY TARVEL_CHECK_LAYERS_VERIFIED TRUE)
        cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _tarvel_check_layers_one_way)
    endif()
endfunction()

# Every layer links only layers declared before it.
function(_tarvel_check_layers_one_way)
    get_property(layers GLOBAL PROPERTY TARVEL_CHECK_LAYERS)
    set(below "")
    foreach(layer IN LISTS layers)
        get_target_property(direct ${layer} LINK_LIBRARIES)
        get_target_property(interface ${layer} INTERFACE_LINK_LIBRARIES)
        foreach(item IN LISTS direct interface)
            string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" name "${item}")
            if(name IN_LIST layers AND NOT name IN_LIST below)
                message(FATAL_ERROR "${layer} links ${name}, which is not below it: the checker's layers "
                                    "depend one way, in the order of their tarvel_check_layer calls")
            endif()
        endforeach()
        list(APPEND below ${layer})
    endforeach()
endfunction()
