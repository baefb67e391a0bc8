cmake_minimum_required(VERSION 3.25)
# QL260DLL's export table: the 19 functions under their undecorated names with ordinals 1-19
# in alphabetical order; and a C caller built against the import library imports them by
# those names. Run with -DOBJDUMP= -DDLL= -DCALLER=.
set(expected
  QL260AbortInter QL260AbortRead QL260AbortWrite QL260CloseDevice QL260DriverCommand
  QL260GetConfigDescr QL260GetDeviceDescr QL260GetDeviceName QL260GetVersion QL260OpenDevice
  QL260ReadData QL260ReadInter QL260ResetAux QL260ResetInter QL260ResetRead QL260ResetWrite
  QL260SetIntRoutine QL260WriteAuxData QL260WriteData)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
string(REGEX MATCH "Ordinal Base[ \t]+([0-9]+)" _ "${dump}")
set(base ${CMAKE_MATCH_1})
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)+)" _ "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" rows "${CMAKE_MATCH_1}")
set(exports)
foreach(row IN LISTS rows)
  string(REGEX MATCH "\\[ *([0-9]+)\\] (.+)" _ "${row}")
  math(EXPR ordinal "${base} + ${CMAKE_MATCH_1}")
  list(APPEND exports "${ordinal}:${CMAKE_MATCH_2}")
endforeach()
set(wanted)
set(ordinal 1)
foreach(name IN LISTS expected)
  list(APPEND wanted "${ordinal}:${name}")
  math(EXPR ordinal "${ordinal} + 1")
endforeach()
if(NOT exports STREQUAL wanted)
  message(FATAL_ERROR "export table of ${DLL}\n  is: ${exports}\n  wanted: ${wanted}")
endif()

# The DLL's 32-bit or 64-bit format is what the build was for.
if(ARCH STREQUAL "i686" AND NOT dump MATCHES "file format pei-i386")
  message(FATAL_ERROR "${DLL} is not a 32-bit DLL")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${CALLER} OUTPUT_VARIABLE imports RESULT_VARIABLE rc)
string(REGEX MATCH "DLL Name: QL260DLL\\.dll\n[^\n]*\n(([ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[^\n]+\n)+)" _ "${imports}")
string(REGEX MATCHALL "[ \t][A-Za-z_@0-9]+\n" names "${CMAKE_MATCH_1}")
if(names STREQUAL "")
  message(FATAL_ERROR "${CALLER} imports nothing from QL260DLL.dll")
endif()
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  if(NOT name IN_LIST expected)
    message(FATAL_ERROR "${CALLER} imports '${name}', which QL260DLL does not export")
  endif()
endforeach()
list(LENGTH exports count)
list(LENGTH names used)
message(STATUS "${DLL}: ${count} exports as wanted; the C caller imports ${used} of them by name")
