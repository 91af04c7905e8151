# Shared compile settings and the helpers every folder uses to declare its targets.

add_compile_options(-Wall -Wextra -Wpedantic -ffp-contract=off -fno-fast-math)
# GCC's -O2 vectorises only loops that need no run-time alias or trip-count checks, which rules
# out nearly every row loop over two pixel pointers. The full cost model vectorises them; with
# fused multiply-add and reassociation off, every result stays bit for bit the same.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-fvect-cost-model=dynamic)
endif()

if(VELLORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VELLORA_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer
                      -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/fuzz/coverage-ignore.txt)
  add_link_options(-fsanitize=address,undefined)
endif()

set(VELLORA_CORPUS_DIR "${CMAKE_SOURCE_DIR}/tests/data/corpus")

# vellora_library(NAME DEPS dep...) — a static library of every .cpp in the calling folder. DEPS
# are the layers below it that the folder uses, linked PRIVATE: a library's users state their
# own layers (cmake/checkLayers.cmake holds the rule the includes must follow).
function(vellora_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  else() # a folder of headers only
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# vellora_test(NAME DEPS dep...) — one GoogleTest program of every .cpp in the calling folder.
function(vellora_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  find_package(GTest REQUIRED)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} vellora_test_support vellora_private_home
                                        GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    VELLORA_CORPUS_DIR="${VELLORA_CORPUS_DIR}"
    VELLORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VELLORA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
