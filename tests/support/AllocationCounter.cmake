# allocation_counter: the counting global operator new and delete shared by
# the allocation tests and the scene benchmark (see AllocationCounter.h).
# Included from tests/support and, when the tests are off, from the bench.
include_guard(GLOBAL)
add_library(allocation_counter STATIC ${CMAKE_CURRENT_LIST_DIR}/AllocationCounter.cpp)
target_include_directories(allocation_counter PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(allocation_counter PRIVATE moltrane_warnings)
