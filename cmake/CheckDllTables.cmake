# cmake -DFILE=<dll> -DOBJDUMP=<objdump> -P CheckDllTables.cmake
# Fails unless the DLL exports exactly its entries, by their plain names (no @n decoration on
# i686), and imports only DLLs that Windows maps as known DLLs from the system directory: an
# installer resolves a guest's imports by its own search order, which may start in Downloads.
# FatalAppExitW must not be imported either: a guest never ends its host's process.
execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump -p ${FILE} failed")
endif()

set(expected MsiCheck MsiCommit MsiInstall MsiRemove MsiRollback NsisRun QuilletRun)
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\][^\n]*\n)*)"
       table "${dump}")
string(REGEX MATCHALL "\\[[ 0-9]+\\] [^\n]+" entries "${CMAKE_MATCH_1}")
set(found "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^\\[[ 0-9]+\\] " "" name "${entry}")
  list(APPEND found "${name}")
endforeach()
list(SORT found)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "${FILE} exports [${found}], expected [${expected}]")
endif()

set(known KERNEL32.dll ADVAPI32.dll USER32.dll msvcrt.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
foreach(dll IN LISTS imports)
  string(TOUPPER "${dll}" upper)
  set(ok FALSE)
  foreach(k IN LISTS known)
    string(TOUPPER "${k}" kupper)
    if(upper STREQUAL kupper)
      set(ok TRUE)
    endif()
  endforeach()
  if(NOT ok)
    message(FATAL_ERROR "${FILE} imports ${dll}, which is not a known DLL")
  endif()
endforeach()
if(dump MATCHES "FatalAppExit")
  message(FATAL_ERROR "${FILE} imports FatalAppExit")
endif()
message(STATUS "${FILE}: exports [${found}], imports [${imports}]")
