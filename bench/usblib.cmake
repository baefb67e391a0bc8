if(NOT WIN32)
  fendal_bench(usblib_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/usblib_bench.cpp LIBS ql260 ql260_socket)
endif()
