# Third-party code is installed on the machine, never kept in this repository:
#  - libyaml: Debian's libyaml-dev natively; for Windows, compiled here from
#    Debian's source package, which tools/setup.sh unpacks into build/third_party.
#  - Scintilla (Windows only, the text pane): compiled here from Debian's scite
#    source package, unpacked by tools/setup.sh beside libyaml.
#  - toml++: Debian's header-only libtomlplusplus-dev.
#  - GoogleTest: libgtest-dev natively; /usr/src/googletest compiled for Windows.

set(CORVANE_LIBYAML_SOURCE "${CMAKE_SOURCE_DIR}/build/third_party/libyaml-0.2.5"
    CACHE PATH "Unpacked libyaml 0.2.5 source, used by the Windows builds")

set(CORVANE_SCINTILLA_SOURCE "${CMAKE_SOURCE_DIR}/build/third_party/scite-5.3.3/scintilla"
    CACHE PATH "Scintilla 5.3.3 source (from Debian's scite source package), used by the Windows builds")

if(WIN32)
  if(NOT EXISTS "${CORVANE_LIBYAML_SOURCE}/src/parser.c")
    message(FATAL_ERROR "libyaml source not found in ${CORVANE_LIBYAML_SOURCE}; run tools/setup.sh")
  endif()
  file(GLOB _yaml_sources "${CORVANE_LIBYAML_SOURCE}/src/*.c")
  add_library(corvane_libyaml STATIC ${_yaml_sources})
  target_include_directories(corvane_libyaml SYSTEM PUBLIC "${CORVANE_LIBYAML_SOURCE}/include")
  target_compile_definitions(corvane_libyaml
    PUBLIC YAML_DECLARE_STATIC
    PRIVATE YAML_VERSION_MAJOR=0 YAML_VERSION_MINOR=2 YAML_VERSION_PATCH=5
            YAML_VERSION_STRING="0.2.5")
  target_compile_options(corvane_libyaml PRIVATE -w)
  add_library(corvane::libyaml ALIAS corvane_libyaml)

  # Scintilla, the text pane's control: compiled from the scintilla folder of
  # Debian's scite source package (tools/setup.sh unpacks it) into a static
  # library linked into the plug-in, so no DLL of its own is needed. Drawing
  # is GDI only (no Direct2D): nothing beyond system DLLs is loaded, and it
  # draws the same under Wine. Its window classes never become global: the
  # two registration calls are routed to the plug-in (uTextControl.cpp),
  # which registers them for its own module under a name of its own, so two
  # loaded copies of the plug-in, or any other module embedding Scintilla,
  # never see each other's classes.
  if(NOT EXISTS "${CORVANE_SCINTILLA_SOURCE}/win32/ScintillaWin.cxx")
    message(FATAL_ERROR "Scintilla source not found in ${CORVANE_SCINTILLA_SOURCE}; run tools/setup.sh")
  endif()
  file(GLOB _scintilla_sources "${CORVANE_SCINTILLA_SOURCE}/src/*.cxx")
  add_library(corvane_scintilla STATIC ${_scintilla_sources}
    "${CORVANE_SCINTILLA_SOURCE}/win32/HanjaDic.cxx"
    "${CORVANE_SCINTILLA_SOURCE}/win32/PlatWin.cxx"
    "${CORVANE_SCINTILLA_SOURCE}/win32/ScintillaWin.cxx")
  target_include_directories(corvane_scintilla SYSTEM
    PUBLIC "${CORVANE_SCINTILLA_SOURCE}/include" "${CORVANE_SCINTILLA_SOURCE}/win32"
    PRIVATE "${CORVANE_SCINTILLA_SOURCE}/src")
  target_compile_definitions(corvane_scintilla PRIVATE NDEBUG DISABLE_D2D WINUSERAPI=
    RegisterClassExW=CorvaneRegisterTextControlClass UnregisterClassW=CorvaneUnregisterTextControlClass)
  target_compile_options(corvane_scintilla PRIVATE -w)
  target_link_libraries(corvane_scintilla PUBLIC imm32 ole32 oleaut32 uuid msimg32 gdi32 user32)
  add_library(corvane::scintilla ALIAS corvane_scintilla)
else()
  find_path(LIBYAML_INCLUDE_DIR yaml.h REQUIRED)
  find_library(LIBYAML_LIBRARY NAMES yaml REQUIRED)
  add_library(corvane_libyaml INTERFACE)
  target_include_directories(corvane_libyaml SYSTEM INTERFACE "${LIBYAML_INCLUDE_DIR}")
  target_link_libraries(corvane_libyaml INTERFACE "${LIBYAML_LIBRARY}")
  add_library(corvane::libyaml ALIAS corvane_libyaml)
endif()

# toml++ lives in /usr/include, which a cross compiler must not search as a
# whole; a folder holding only a link to it keeps the Linux headers out.
set(CORVANE_TOMLPP_HEADERS "/usr/include/toml++" CACHE PATH "toml++ header folder")
if(NOT EXISTS "${CORVANE_TOMLPP_HEADERS}/toml.hpp" AND NOT EXISTS "${CORVANE_TOMLPP_HEADERS}/toml.h")
  message(FATAL_ERROR "toml++ not found in ${CORVANE_TOMLPP_HEADERS}; run tools/setup.sh")
endif()
set(_tomlpp_root "${CMAKE_BINARY_DIR}/tomlpp-include")
file(MAKE_DIRECTORY "${_tomlpp_root}")
file(CREATE_LINK "${CORVANE_TOMLPP_HEADERS}" "${_tomlpp_root}/toml++" SYMBOLIC)
add_library(corvane_tomlpp INTERFACE)
target_include_directories(corvane_tomlpp SYSTEM INTERFACE "${_tomlpp_root}")
add_library(corvane::tomlpp ALIAS corvane_tomlpp)

if(CORVANE_TESTS)
  if(WIN32)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
    add_library(corvane::gtest ALIAS gtest)
    add_library(corvane::gtest_main ALIAS gtest_main)
  else()
    find_package(GTest REQUIRED)
    add_library(corvane::gtest ALIAS GTest::gtest)
    add_library(corvane::gtest_main ALIAS GTest::gtest_main)
  endif()
endif()
