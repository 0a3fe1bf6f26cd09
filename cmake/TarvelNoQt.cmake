# tarvel_forbid_qt(<target>...): fails the configuration when a target links
# Qt, directly or through any library it links. The engine and the runner
# must run where no display and no Qt exist.
#
# The walk runs once the whole project has been read (deferred to the end of
# the top-level CMakeLists.txt), so links added after the call count too. It
# follows LINK_LIBRARIES and INTERFACE_LINK_LIBRARIES of every target reached,
# through aliases and $<LINK_ONLY:...>; a Qt imported target (Qt6::Widgets)
# or a Qt library file (libQt6Core.so) anywhere on the way is refused.
include_guard(GLOBAL)

function(tarvel_forbid_qt)
    foreach(target IN LISTS ARGN)
        cmake_language(EVAL CODE "
            cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL _tarvel_check_no_qt [[${target}]])")
    endforeach()
endfunction()

# Whether item (one entry of a link list) names Qt.
function(_tarvel_is_qt item result)
    if(item MATCHES "(^|[/:<,;])Qt[0-9]*::" OR item MATCHES "(^|[/])libQt[0-9]*[A-Za-z]")
        set(${result} TRUE PARENT_SCOPE)
    else()
        set(${result} FALSE PARENT_SCOPE)
    endif()
endfunction()

function(_tarvel_check_no_qt root)
    if(NOT TARGET ${root})
        message(FATAL_ERROR "tarvel_forbid_qt: no target named ${root}")
    endif()
    set(pending ${root})
    set(seen "")
    set(path_of_${root} "${root}")
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
            set(path_of_${aliased} "${path_of_${current}}")
            list(APPEND pending ${aliased})
            continue()
        endif()
        set(links "")
        get_target_property(direct ${current} LINK_LIBRARIES)
        if(direct)
            list(APPEND links ${direct})
        endif()
        get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND links ${interface})
        endif()
        foreach(item IN LISTS links)
            _tarvel_is_qt("${item}" is_qt)
            if(is_qt)
                message(FATAL_ERROR
                    "${root} must not link Qt, but ${path_of_${current}} links ${item}")
            endif()
            # $<LINK_ONLY:name> and $<BUILD_INTERFACE:name> name a target too.
            string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" name "${item}")
            if(TARGET ${name} AND NOT name IN_LIST seen)
                if(NOT DEFINED path_of_${name})
                    set(path_of_${name} "${path_of_${current}} -> ${name}")
                endif()
                list(APPEND pending ${name})
            endif()
        endforeach()
    endwhile()
endfunction()
