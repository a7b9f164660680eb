# cmake -DFAST=tool -DSMALL=tool -DWORK_DIR=dir -P compare_builds.cmake: the
# same sweep printed by the fast build of the model and by the one built for
# size must be the same bytes.
foreach(build FAST SMALL)
    execute_process(COMMAND ${${build}} OUTPUT_FILE ${WORK_DIR}/vectors_${build}.txt
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${${build}} failed: ${status}")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/vectors_FAST.txt
                        ${WORK_DIR}/vectors_SMALL.txt RESULT_VARIABLE different)
if(different)
    execute_process(COMMAND diff ${WORK_DIR}/vectors_FAST.txt ${WORK_DIR}/vectors_SMALL.txt
                    OUTPUT_VARIABLE differences)
    string(SUBSTRING "${differences}" 0 2000 differences)
    message(FATAL_ERROR "the two builds of the model differ; first differences:\n${differences}")
endif()
file(STRINGS ${WORK_DIR}/vectors_FAST.txt lines)
list(LENGTH lines count)
message(STATUS "identical: ${count} lines")
