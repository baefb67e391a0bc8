fendal_bench(listview_sort_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/listview_sort_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/listview_bench_group.h LIBS fendal_listview_qt)
fendal_bench(listview_fill_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/listview_fill_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/listview_bench_group.h LIBS fendal_listview_qt)
