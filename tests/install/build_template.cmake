# Copies the component template in SOURCE out (as a vendor copies it out of
# the installed examples), builds it against the kit installed in PREFIX and
# nothing else, then lets the installed tarvel-check judge it at quick.
file(REMOVE_RECURSE ${BINARY})
if(NOT IS_DIRECTORY ${SOURCE})
    message(FATAL_ERROR "no template at ${SOURCE}")
endif()
file(COPY ${SOURCE}/ DESTINATION ${BINARY}/source)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${BINARY}/source -B ${BINARY}/build -G ${GENERATOR}
                        -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
                        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "configuring ${SOURCE} against ${PREFIX} failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY}/build RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "building ${SOURCE} failed")
endif()
file(GLOB library ${BINARY}/build/lib*.so)
execute_process(COMMAND ${PREFIX}/bin/tarvel-check --level quick --component ${library} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "tarvel-check --level quick --component ${library}: exit ${status}")
endif()
