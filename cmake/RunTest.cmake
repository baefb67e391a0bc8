# Runs one test executable in a fresh private runtime folder (mode 0700, as the program expects).
file(REMOVE_RECURSE ${RT})
file(MAKE_DIRECTORY ${RT})
file(CHMOD ${RT} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
# EMULATOR: what runs a cross-built program here (Wine for the Windows build), else nothing.
execute_process(COMMAND ${EMULATOR} ${EXE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXE} failed: ${rc}")
endif()
