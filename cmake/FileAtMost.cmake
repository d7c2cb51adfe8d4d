# Fails when a file is larger than a limit, saying by how much.
# cmake -D FILE=path -D LIMIT=bytes -P FileAtMost.cmake
file(SIZE ${FILE} size)
if(size GREATER LIMIT)
    math(EXPR over "${size} - ${LIMIT}")
    message(FATAL_ERROR "${FILE} is ${size} bytes, ${over} more than ${LIMIT}")
endif()
message(STATUS "${FILE}: ${size} of at most ${LIMIT} bytes")
