fendal_bench(transfer_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/transfer_bench.cpp
  LIBS fendal_transfer)
