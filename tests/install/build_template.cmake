# Builds the component template in SOURCE against the kit installed in PREFIX
# and nothing else, then lets the installed tarvel-check judge it at quick.
file(REMOVE_RECURSE ${BINARY})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G ${GENERATOR}
                        -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
                        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "configuring ${SOURCE} against ${PREFIX} failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "building ${SOURCE} failed")
endif()
file(GLOB library ${BINARY}/lib*.so)
execute_process(COMMAND ${PREFIX}/bin/tarvel-check --level quick --component ${library} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "tarvel-check --level quick --component ${library}: exit ${status}")
endif()
