# Printing: counting the pages of a large group, and the cost of one page against a whole job.
if(TARGET fendal_print_qt)
  fendal_bench(print_bench SOURCES print_bench.cpp LIBS fendal_print_qt Qt6::Gui)
endif()
