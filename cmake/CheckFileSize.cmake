# cmake -DFILE=... -DLIMIT=bytes -P CheckFileSize.cmake: fails when FILE is larger than LIMIT.
# Installers carry the exe; it must not grow unnoticed.
file(SIZE "${FILE}" size)
message(STATUS "${FILE}: ${size} bytes (limit ${LIMIT})")
if(size GREATER LIMIT)
  message(FATAL_ERROR "${FILE} is ${size} bytes, over the limit of ${LIMIT}")
endif()
