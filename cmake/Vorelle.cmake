# Helpers shared by the folder CMakeLists.

# The fuzz build traces coverage in the product's libraries and the fuzz
# targets only: the suites run in the same build without paying for it.
function(vorelle_fuzz_instrument target)
  if(VORELLE_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link
      -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/fuzz/coverage_ignore.txt)
  endif()
endfunction()

# Options for the suites' own sources only (the libraries they test keep the
# build's): CI compiles the sanitizer trees' suites at -O0, which halves
# their compile time while the code under test stays optimised.
set(VORELLE_SUITE_FLAGS "" CACHE STRING "Extra compile options of the test suites' own sources, e.g. -O0")

# With VORELLE_PCH the standard headers most sources use are parsed once per
# build (target vorelle_pch) and reused by every library; sources compiled
# with options of their own (an instruction set) parse them as usual.
if(VORELLE_PCH)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/vorelle_pch.cpp CONTENT "")
  add_library(vorelle_pch OBJECT ${CMAKE_BINARY_DIR}/vorelle_pch.cpp)
  target_precompile_headers(vorelle_pch PRIVATE
    <algorithm> <array> <atomic> <cmath> <cstdint> <cstdio> <cstdlib> <cstring> <functional> <map>
    <memory> <mutex> <string> <string_view> <utility> <vector>)
  vorelle_fuzz_instrument(vorelle_pch)
endif()

function(vorelle_skip_pch_where_options_differ target)
  get_target_property(sources ${target} SOURCES)
  foreach(src IN LISTS sources)
    get_source_file_property(options ${src} COMPILE_OPTIONS)
    if(options)
      set_source_files_properties(${src} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
endfunction()

# vorelle_library(<name> [DEPS <targets...>] [PUBLIC_DEPS <targets...>]
#                 [SUBDIRS <dirs...>] [INCLUDES <dirs...>])
# One static library per folder, from every .cpp in it (subfolders listed
# explicitly with SUBDIRS); the folder itself is on the include path of the
# library and of whoever links it. DEPS are used by the folder's sources
# only; PUBLIC_DEPS are those its headers include, and so reach its users.
# Which folder may use which is fixed in cmake/layers.txt.
function(vorelle_library name)
  cmake_parse_arguments(V "" "" "DEPS;PUBLIC_DEPS;SUBDIRS;INCLUDES" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  foreach(sub IN LISTS V_SUBDIRS)
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.c)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  if(NOT sources)
    # A folder that holds only headers so far: whatever it uses, its users use.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR} ${V_INCLUDES})
    if(V_DEPS OR V_PUBLIC_DEPS)
      target_link_libraries(${name} INTERFACE ${V_PUBLIC_DEPS} ${V_DEPS})
    endif()
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${V_INCLUDES})
  if(V_PUBLIC_DEPS)
    target_link_libraries(${name} PUBLIC ${V_PUBLIC_DEPS})
  endif()
  if(V_DEPS)
    target_link_libraries(${name} PRIVATE ${V_DEPS})
  endif()
  vorelle_fuzz_instrument(${name})
  if(VORELLE_PCH)
    target_precompile_headers(${name} REUSE_FROM vorelle_pch)
    # After the folder's CMakeLists has added and marked its sources.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL vorelle_skip_pch_where_options_differ [[${name}]])")
  endif()
endfunction()

# vorelle_test_suite(<folder> [LIBS <targets...>])
# tests/<folder>/*.cpp become one GoogleTest executable test_<folder>, which
# is all a new tests/<folder>/CMakeLists.txt needs. Tests whose suite or
# instantiation name ends in Soak (minutes long under the sanitizers or an
# emulator) carry the label soak instead, so that slow builds can leave them
# out with ctest -LE soak. Suites named in VORELLE_THREAD_SUITES
# (tests/CMakeLists.txt) belong to the target thread_suites: the
# ThreadSanitizer build runs those.
function(vorelle_test_suite folder)
  cmake_parse_arguments(V "" "" "LIBS" ${ARGN})
  string(REPLACE "/" "_" tname "test_${folder}")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${tname} ${sources})
  target_link_libraries(${tname} PRIVATE ${V_LIBS} test_support GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_options(${tname} PRIVATE ${VORELLE_SUITE_FLAGS})
  if(VORELLE_PCH)
    target_precompile_headers(${tname} REUSE_FROM test_pch)
  endif()
  if(folder IN_LIST VORELLE_THREAD_SUITES)
    add_dependencies(thread_suites ${tname})
  endif()
  gtest_discover_tests(${tname} TEST_FILTER "-*Soak*" DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 900 LABELS ${tname})
  gtest_discover_tests(${tname} TEST_FILTER "*Soak*" DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 900 LABELS soak)
endfunction()
