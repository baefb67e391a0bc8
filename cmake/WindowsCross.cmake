# The Windows cross build (cmake/mingw-w64.cmake): everything that does not need Qt.
# Qt for MinGW is not packaged in Debian, and neither are libzip and libxlsxwriter, which the
# office reports need; a build on Windows with those installed uses the normal road instead.
set(FENDAL_QT OFF)
set(FENDAL_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
set(FENDAL_SKIP_DIRS src/office tests/office fuzz)  # the readers' checks include the office ones
option(FENDAL_WINDOWS_TESTS "Build the test programs (they run under Wine)" ON)

if(FENDAL_WINDOWS_TESTS)
  # GoogleTest from the sources Debian's googletest package ships, built for the target.
  set(FENDAL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${FENDAL_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  # Only the export table checks, which need no test framework.
  file(GLOB test_dirs RELATIVE ${PROJECT_SOURCE_DIR} LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/tests/*)
  list(REMOVE_ITEM test_dirs tests/windows)
  list(APPEND FENDAL_SKIP_DIRS ${test_dirs})
endif()

# nlohmann-json is header-only: its folder alone, never the build machine's whole /usr/include,
# whose C library headers would shadow MinGW's.
find_path(FENDAL_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/json-include)
file(CREATE_LINK ${FENDAL_JSON_INCLUDE}/nlohmann ${PROJECT_BINARY_DIR}/json-include/nlohmann SYMBOLIC)
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/json-include)
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)
# CLI11, header-only as well, the same way.
find_path(FENDAL_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(CREATE_LINK ${FENDAL_CLI11_INCLUDE}/CLI ${PROJECT_BINARY_DIR}/json-include/CLI SYMBOLIC)
add_library(CLI11 INTERFACE)
target_include_directories(CLI11 SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/json-include)
add_library(CLI11::CLI11 ALIAS CLI11)

# Windows headers without their rarely used parts and without the min and max macros.
# The C library's printf family as C99 has it (%zu and friends), not the old system one.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 __USE_MINGW_ANSI_STDIO=1)
# GCC 12 warns wrongly about std::string's operator+ at -O3 (its bug 105329).
add_compile_options(-Wno-restrict)

# Test programs run under Wine, which shows the build machine's files as drive Z:. Each gets
# its own temporary folder (Wine's TMP comes from its registry, so the program sets it itself).
function(fendal_windows_test name rt env_var)
  set(windows_env)
  foreach(item IN LISTS ${env_var})
    if(item MATCHES "^(FENDAL_BIN_DIR|FENDAL_SOURCE_DIR)=(/.*)$")
      set(item "${CMAKE_MATCH_1}=Z:${CMAKE_MATCH_2}")
    endif()
    list(APPEND windows_env "${item}")
  endforeach()
  list(APPEND windows_env "FENDAL_TEST_TEMP=Z:${rt}")
  target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/windows/private_temp.cpp)
  set(${env_var} ${windows_env} PARENT_SCOPE)
endfunction()
