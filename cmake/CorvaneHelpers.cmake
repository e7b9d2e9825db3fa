# Helpers shared by the folders' CMakeLists.
#
# Source naming: files named *_win.cpp, or kept in a folder named win/, include
# <windows.h> and are built only for Windows; files named *_posix.cpp only for
# the native build. Everything else is portable and built everywhere.

function(corvane_platform_filter out_var)
  set(kept)
  foreach(f ${ARGN})
    if(f MATCHES "(_win\\.cpp|/win/[^/]*\\.cpp)$")
      if(WIN32)
        list(APPEND kept ${f})
      endif()
    elseif(f MATCHES "_posix\\.cpp$")
      if(NOT WIN32)
        list(APPEND kept ${f})
      endif()
    else()
      list(APPEND kept ${f})
    endif()
  endforeach()
  set(${out_var} ${kept} PARENT_SCOPE)
endfunction()

# corvane_portable_library(name folder [DEPS libs...])
# A static library of the window-free .cpp files below <folder>
# (Win32 files of that folder go into the plug-in DLL instead).
function(corvane_portable_library name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${folder}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "(_win\\.cpp|/win/[^/]*\\.cpp)$")
  corvane_platform_filter(sources ${sources})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${folder}")
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${folder}")
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# corvane_test_suite(area LIBS libs...)
# One test program per folder tests/<area>, from every .cpp there.
function(corvane_test_suite area)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp")
  corvane_platform_filter(sources ${sources})
  if(NOT sources)
    return()
  endif()
  set(target corvane_tests_${area})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE corvane_test_support corvane_test_seams ${ARG_LIBS}
    corvane::gtest_main corvane::gtest)
  if(TARGET corvane_parser)
    add_dependencies(${target} corvane_parser)
  endif()
  if(CMAKE_CROSSCOMPILING)
    # One CTest entry per program: listing the cases would mean running the
    # program (under wine) at build time.
    add_test(NAME ${area} COMMAND ${target})
    set_tests_properties(${area} PROPERTIES ENVIRONMENT "CORVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  else()
    # One CTest entry per test case, listed when CTest runs.
    include(GoogleTest)
    gtest_discover_tests(${target} TEST_PREFIX "${area}." DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "CORVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  endif()
endfunction()

# corvane_version_resource(target description)
# Gives a Windows binary a version resource: file and product version (the
# project version), description, product name and file names. Nothing on
# other systems.
function(corvane_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(CORVANE_RC_FILETYPE VFT_APP)
  else()
    set(CORVANE_RC_FILETYPE VFT_DLL)
  endif()
  set(CORVANE_RC_DESCRIPTION "${description}")
  set(CORVANE_RC_TARGET ${target})
  set(configured "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${configured}" @ONLY)
  # The file names are generator expressions, filled in at generation time.
  file(GENERATE OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc" INPUT "${configured}")
  target_sources(${target} PRIVATE "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
endfunction()
