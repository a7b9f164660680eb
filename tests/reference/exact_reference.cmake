# The exact reference library, shared by the differential tests and the fuzz
# targets. GMP is a test-only dependency of the native build.
include_guard(GLOBAL)

find_path(GMP_INCLUDE_DIR gmpxx.h REQUIRED)
find_library(GMP_LIBRARY gmp REQUIRED)
find_library(GMPXX_LIBRARY gmpxx REQUIRED)

add_library(kemreference STATIC
    ${CMAKE_CURRENT_LIST_DIR}/exact_parse_amount.cpp
    ${CMAKE_CURRENT_LIST_DIR}/exact_format_fixed.cpp
)
target_include_directories(kemreference PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The IEEE layout constants only (double_bits.h); no model code is linked.
target_include_directories(kemreference PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../../model/internal)
target_include_directories(kemreference SYSTEM PUBLIC ${GMP_INCLUDE_DIR})
target_link_libraries(kemreference PUBLIC ${GMPXX_LIBRARY} ${GMP_LIBRARY})
