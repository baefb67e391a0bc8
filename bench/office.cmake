# Reports: the .docx report and the .xlsx table of a 100,000-point group, against plain CSV.
fendal_bench(office_report_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/office_report_bench.cpp LIBS fendal_office)
