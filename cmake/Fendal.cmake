# Helpers shared by every subsystem folder.

# fendal_core_library(NAME SOURCES... [LIBS ...])
# A Qt-free static library: it never sees Qt's include paths, so a Qt header in core code fails to build.
function(fendal_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  get_target_property(libs ${name} LINK_LIBRARIES)
  foreach(lib IN LISTS libs)
    if(lib MATCHES "^Qt")
      message(FATAL_ERROR "${name} is core code and must not link ${lib}")
    endif()
  endforeach()
endfunction()

# fendal_qt_library(NAME SOURCES... [LIBS ...]): widgets and dialogs on top of a core.
function(fendal_qt_library name)
  if(NOT FENDAL_QT)
    return()  # a build without Qt (the Windows cross build) has the cores only
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC OFF)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# fendal_test(NAME SOURCES... [LIBS ...] [QT]): one GoogleTest executable registered with CTest.
# Every test runs with its own private runtime folder, so temporary files and device sockets
# of parallel tests never meet; Qt tests use the offscreen platform.
function(fendal_test name)
  cmake_parse_arguments(ARG "QT" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(ARG_QT AND NOT FENDAL_QT)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/lsan_suppressions.cpp)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  set(rt ${CMAKE_CURRENT_BINARY_DIR}/${name}.runtime)
  set(env XDG_RUNTIME_DIR=${rt} QT_QPA_PLATFORM=offscreen
    FENDAL_BIN_DIR=${PROJECT_BINARY_DIR}/bin FENDAL_SOURCE_DIR=${PROJECT_SOURCE_DIR})
  if(COMMAND fendal_windows_test)
    fendal_windows_test(${name} ${rt} env)  # the same folders as a Windows program sees them
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env ${env}
    ${CMAKE_COMMAND} -DRT=${rt} -DEXE=$<TARGET_FILE:${name}> "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
    -P ${PROJECT_SOURCE_DIR}/cmake/RunTest.cmake)
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# fendal_x_test(TARGET): runs a Qt test target once more against a real X server (Xvfb), bare
# and under a window manager, for what the offscreen platform cannot show: window activation,
# focus and pointer crossings. Skipped where the server or the manager is not installed.
function(fendal_x_test target)
  if(NOT TARGET ${target})
    return()  # a Qt test in a build without Qt
  endif()
  foreach(wm none openbox)
    set(name ${target}_x_${wm})
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env
      XDG_RUNTIME_DIR=${CMAKE_CURRENT_BINARY_DIR}/${name}.runtime
      FENDAL_BIN_DIR=${PROJECT_BINARY_DIR}/bin FENDAL_SOURCE_DIR=${PROJECT_SOURCE_DIR}
      sh ${PROJECT_SOURCE_DIR}/tests/support/run_under_x.sh ${wm} $<TARGET_FILE:${target}>)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
  endforeach()
endfunction()

# fendal_bench(NAME SOURCES... [LIBS ...]): one Google Benchmark executable.
function(fendal_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark Threads::Threads)
endfunction()

