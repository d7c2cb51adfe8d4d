# cmake -D FILE=path -D LIMIT=bytes -P size_budget.cmake: fails when the file
# is larger than LIMIT bytes.
file(SIZE ${FILE} size)
message("${FILE}: ${size} bytes, at most ${LIMIT}")
if(size GREATER LIMIT)
    message(FATAL_ERROR "${FILE} is ${size} bytes, more than ${LIMIT}")
endif()
