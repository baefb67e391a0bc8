fendal_bench(data_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/data_read_bench.cpp LIBS fendal_data)
