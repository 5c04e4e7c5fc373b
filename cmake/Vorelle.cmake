# Helpers shared by the folder CMakeLists.

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
endfunction()

# vorelle_test_suite(<folder> [LIBS <targets...>])
# tests/<folder>/*.cpp become one GoogleTest executable test_<folder>.
function(vorelle_test_suite folder)
  cmake_parse_arguments(V "" "" "LIBS" ${ARGN})
  string(REPLACE "/" "_" tname "test_${folder}")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${tname} ${sources})
  target_link_libraries(${tname} PRIVATE ${V_LIBS} test_support GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${tname} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 900 LABELS ${tname})
endfunction()
