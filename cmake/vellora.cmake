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

# vellora_checked_twin(NAME) — at the end of the folder, NAME_checked: the same sources once more
# with the standard library's own checks on, so an index past the end of a vector, array, span
# or string aborts at once instead of writing where it should not. The test programs link the
# twins; the programs and the benchmarks keep the plain libraries. Sanitizer builds catch more
# than the checks do, so there the twin is the library itself.
function(vellora_checked_twin name)
  # A deferred call reads its arguments only when it runs: the name goes in as it stands now.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL vellora_make_checked_twin [[${name}]])")
endfunction()

function(vellora_make_checked_twin name)
  get_target_property(type ${name} TYPE)
  if(VELLORA_SANITIZE OR VELLORA_FUZZ OR NOT type STREQUAL "STATIC_LIBRARY")
    add_library(${name}_checked ALIAS ${name})
    return()
  endif()
  get_target_property(sources ${name} SOURCES)
  add_library(${name}_checked STATIC EXCLUDE_FROM_ALL ${sources})
  target_include_directories(${name}_checked PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(${name}_checked PRIVATE _GLIBCXX_ASSERTIONS)
  get_target_property(definitions ${name} COMPILE_DEFINITIONS)
  if(definitions)
    target_compile_definitions(${name}_checked PRIVATE ${definitions})
  endif()
  get_target_property(links ${name} LINK_LIBRARIES)
  foreach(link IN LISTS links)
    if(TARGET ${link}_checked)
      set(link ${link}_checked)
    endif()
    target_link_libraries(${name}_checked PRIVATE ${link})
  endforeach()
  get_target_property(dependencies ${name} MANUALLY_ADDED_DEPENDENCIES)
  if(dependencies)
    add_dependencies(${name}_checked ${dependencies})
  endif()
endfunction()

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
  vellora_checked_twin(${name})
endfunction()

# vellora_test(NAME DEPS dep...) — one GoogleTest program of every .cpp in the calling folder,
# linked with the checked twins of its DEPS.
function(vellora_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  find_package(GTest REQUIRED)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(TRANSFORM ARG_DEPS APPEND _checked)
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} vellora_test_support_checked vellora_private_home
                                        GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    VELLORA_CORPUS_DIR="${VELLORA_CORPUS_DIR}"
    VELLORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VELLORA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
