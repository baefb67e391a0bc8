# The depth chart: drawing 99999 points must cost about what a screenful of bars costs.
if(TARGET fendal_analysis_qt)
  fendal_bench(depth_chart_bench SOURCES depth_chart_bench.cpp LIBS fendal_analysis_qt Qt6::Gui)
endif()
