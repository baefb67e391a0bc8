# Printing: counting the pages of a large group, and the cost of one page against a whole job.
if(TARGET fendal_print_qt)
  fendal_bench(print_bench SOURCES print_bench.cpp LIBS fendal_print_qt Qt6::Gui)
endif()
# The print preview of 1,000,000 points: opening it and its first paint against the page count.
if(TARGET fendal_print_qt)
  fendal_bench(print_preview_bench SOURCES print_preview_bench.cpp LIBS fendal_print_qt Qt6::Widgets)
endif()
