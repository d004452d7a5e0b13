# cmake -DEXE=<program> -P CheckPeHardening.cmake
# Fails unless the PE header of EXE says: relocatable at a random base (DYNAMIC_BASE 0x0040),
# data not executable (NX_COMPAT 0x0100), Terminal Services aware (0x8000), and for a 64-bit
# image also a high-entropy base (HIGH_ENTROPY_VA 0x0020).
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "no such file: ${EXE}")
endif()

# The little-endian number of `size` bytes at `offset`.
function(read_le offset size out)
  file(READ "${EXE}" hex OFFSET ${offset} LIMIT ${size} HEX)
  string(LENGTH "${hex}" length)
  math(EXPR wanted "${size} * 2")
  if(NOT length EQUAL wanted)
    message(FATAL_ERROR "${EXE} ends before byte ${offset} + ${size}")
  endif()
  set(value "")
  foreach(at RANGE 0 ${length} 2)
    if(at LESS length)
      string(SUBSTRING "${hex}" ${at} 2 byte)
      set(value "${byte}${value}")
    endif()
  endforeach()
  math(EXPR value "0x${value}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

read_le(60 4 pe)  # e_lfanew
read_le(${pe} 4 signature)
if(NOT signature EQUAL 17744)  # "PE\0\0"
  message(FATAL_ERROR "${EXE} is no PE image")
endif()
math(EXPR optional "${pe} + 24")
read_le(${optional} 2 magic)
math(EXPR at "${optional} + 70")
read_le(${at} 2 characteristics)

set(expected 33088)  # 0x8140
if(magic EQUAL 523)  # 0x20b: PE32+
  math(EXPR expected "${expected} | 32")
elseif(NOT magic EQUAL 267)  # 0x10b: PE32
  message(FATAL_ERROR "${EXE}: unknown optional header magic ${magic}")
endif()
math(EXPR missing "${expected} & ~${characteristics}" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR shown "${characteristics}" OUTPUT_FORMAT HEXADECIMAL)
if(NOT missing EQUAL 0)
  message(FATAL_ERROR "${EXE}: DllCharacteristics ${shown} lacks ${missing}")
endif()
message(STATUS "${EXE}: DllCharacteristics ${shown}")
