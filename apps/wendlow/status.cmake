# Plain-language status rules over the printing service's records.
add_library(wendlow_status src/status.cpp)
target_include_directories(wendlow_status PUBLIC src)
target_link_libraries(wendlow_status PUBLIC os_printing)

wendlow_add_test(wendlow_status_test SOURCES tests/status_test.cpp LIBS wendlow_status)
