# Where the private print service for tests lives: a short path (unix socket names are
# limited to 108 bytes) that cupsd's "lp" user can traverse, one per build tree.
set(WENDLOW_TESTBED_SCRIPT ${CMAKE_SOURCE_DIR}/tools/testbed/testbed.sh)
string(MD5 _wendlow_testbed_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${_wendlow_testbed_hash}" 0 10 _wendlow_testbed_hash)
set(WENDLOW_TESTBED_DIR /tmp/wendlow-testbed-${_wendlow_testbed_hash})
