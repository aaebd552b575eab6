# The module layers, lowest first. A module lists in DEPS only modules of a
# lower layer: the graph points one way, so it cannot hold a cycle, and
# quorix_module() stops the configuration when a DEPS entry breaks that.
#
#   0 base        ini engine, text encodings, archive format, the one file
#                 writer, case and path helpers (standard library only)
#   1 platform    the operating-system interfaces: HidHost, Clock, NamedMutex,
#                 ForegroundSource, InputInjector, PointerSettings, Paths
#   2 texts firmware platform_linux_base
#                 text tables; programming-mode recognition; the Linux
#                 implementations that need neither libudev nor X11
#   3 device keys platform_linux
#                 transport, discovery and commands; key tables and button
#                 functions; udev and X11 and the system-services factories
#   4 settings sim
#                 memory map, image, load, writes, backups; the simulated mouse
#   5 macro options lighting
#   6 session     the application core both front ends share
#   7 ui session_world
#                 Qt windows and painters; the parts a front end builds its
#                 session from (the real host and locks, or the simulated mouse)
#   8 cli app     the front ends: quorix-mousectl and the Qt shell
#
# Only platform_linux*, session_world, ui, cli and app may use OS headers or Qt; every other
# module is C++20 standard library alone.
# A new module needs a place here: above everything it uses, below everything
# that uses it.
set(QUORIX_LAYERS
  "base"
  "platform"
  "texts firmware platform_linux_base"
  "device keys platform_linux"
  "settings sim"
  "macro options lighting"
  "session"
  "ui session_world"
  "cli app")

# Modules whose folder is not src/NAME; their headers are included by folder,
# as in "platform/linux/xdg_paths.h".
set(QUORIX_MODULE_FOLDERS
  "platform_linux_base=platform/linux"
  "platform_linux=platform/linux"
  "session_world=session/world")

# quorix_module(NAME [DEPS module...] [PUBLIC_LIBS lib...] [SOURCES file...])
# Builds the static library quorix_NAME from SOURCES, or else from every .cpp
# file in the calling folder (not its subfolders); without sources it is a
# header-only (INTERFACE) library.
#  - DEPS: the modules it uses, each on a lower layer and defined before it.
#  - PUBLIC_LIBS: outside libraries (Qt, X11, libudev), passed on to users.
# Its only include directory is build/include/NAME/, which holds a link for
# the module's own folder and for every module it may use (DEPS, their DEPS,
# and so on), and nothing else: "settings/settings_image.h" resolves in a
# module that may use settings and is "No such file" in one that may not.
# Whatever links quorix_NAME (tests, fuzzers, programs) gets the same folder.
function(quorix_module name)
  cmake_parse_arguments(M "" "" "DEPS;PUBLIC_LIBS;SOURCES" ${ARGN})
  _quorix_layer_of("${name}" layer)
  if(layer LESS 0)
    message(FATAL_ERROR "quorix_module(${name}): ${name} is on no layer. Give it a place in QUORIX_LAYERS "
                        "(cmake/QuorixModule.cmake): above every module it uses, below every module that uses it.")
  endif()
  get_property(known GLOBAL PROPERTY QUORIX_MODULE_${name}_CLOSURE SET)
  if(known)
    message(FATAL_ERROR "quorix_module(${name}): the module is defined twice.")
  endif()

  set(closure "${name}")
  foreach(dep IN LISTS M_DEPS)
    if(dep STREQUAL name)
      message(FATAL_ERROR "quorix_module(${name}): DEPS lists ${name} itself; a module that needs itself is a cycle.")
    endif()
    _quorix_layer_of("${dep}" depLayer)
    if(depLayer LESS 0)
      message(FATAL_ERROR "quorix_module(${name}): DEPS ${dep} is no module (it is on no layer in "
                          "QUORIX_LAYERS); outside libraries go in PUBLIC_LIBS.")
    endif()
    if(NOT depLayer LESS layer)
      _quorix_layer_list(layers)
      list(GET QUORIX_LAYERS ${layer} ownMembers)
      list(GET QUORIX_LAYERS ${depLayer} depMembers)
      message(FATAL_ERROR "quorix_module(${name}): DEPS ${dep} is refused: ${dep} is on layer ${depLayer} "
                          "(${depMembers}), not below ${name} on layer ${layer} (${ownMembers}). A module uses only "
                          "modules of lower layers, so that the graph points one way and has no cycle. "
                          "Layers, lowest first: ${layers}.")
    endif()
    get_property(depClosure GLOBAL PROPERTY QUORIX_MODULE_${dep}_CLOSURE)
    get_property(depKnown GLOBAL PROPERTY QUORIX_MODULE_${dep}_CLOSURE SET)
    if(NOT depKnown)
      message(FATAL_ERROR "quorix_module(${name}): DEPS ${dep} is not defined yet; add the folder of ${dep} "
                          "(add_subdirectory) before the folder of ${name}.")
    endif()
    list(APPEND closure ${depClosure})
  endforeach()
  list(REMOVE_DUPLICATES closure)
  set_property(GLOBAL PROPERTY QUORIX_MODULE_${name}_CLOSURE "${closure}")
  _quorix_include_root("${name}" "${closure}" root)

  set(sources ${M_SOURCES})
  if(NOT M_SOURCES)
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  endif()
  if(sources)
    add_library(quorix_${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    # A module whose sources have not been written yet stays header-only.
    add_library(quorix_${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(quorix_${name} ${scope} "${root}")
  foreach(dep IN LISTS M_DEPS)
    target_link_libraries(quorix_${name} ${scope} quorix_${dep})
  endforeach()
  if(M_PUBLIC_LIBS)
    target_link_libraries(quorix_${name} ${scope} ${M_PUBLIC_LIBS})
  endif()
endfunction()

# The index of the layer that holds module in QUORIX_LAYERS, or -1.
function(_quorix_layer_of module outVar)
  set(index 0)
  foreach(layer IN LISTS QUORIX_LAYERS)
    string(REPLACE " " ";" members "${layer}")
    if(module IN_LIST members)
      set(${outVar} ${index} PARENT_SCOPE)
      return()
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  set(${outVar} -1 PARENT_SCOPE)
endfunction()

# "base < platform < texts firmware ... < cli app", for messages.
function(_quorix_layer_list outVar)
  list(JOIN QUORIX_LAYERS " < " text)
  set(${outVar} "${text}" PARENT_SCOPE)
endfunction()

# The module's folder under src/, which is also how its headers are spelled.
function(_quorix_folder_of module outVar)
  set(folder "${module}")
  foreach(entry IN LISTS QUORIX_MODULE_FOLDERS)
    if(entry MATCHES "^${module}=(.+)$")
      set(folder "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${outVar} "${folder}" PARENT_SCOPE)
endfunction()

# Builds build/include/NAME/ afresh (a DEPS entry removed must not linger):
# one symbolic link per module folder in `modules`. A folder that holds
# another module's folder (platform holds platform/linux) becomes a real
# folder of links to its headers and subfolders, without that inner folder
# unless it is in `modules` as well. The links point into the source tree, so an edited or a
# new header needs no step; a new entry in such a split folder is picked up
# because the glob reruns the configuration.
function(_quorix_include_root name modules outVar)
  set(root "${CMAKE_BINARY_DIR}/include/${name}")
  file(REMOVE_RECURSE "${root}")
  file(MAKE_DIRECTORY "${root}")
  set(innerFolders "")
  foreach(entry IN LISTS QUORIX_MODULE_FOLDERS)
    string(REGEX REPLACE "^[^=]*=" "" folder "${entry}")
    if(folder MATCHES "/")
      list(APPEND innerFolders "${folder}")
    endif()
  endforeach()
  set(done "")
  foreach(module IN LISTS modules)
    _quorix_folder_of("${module}" folder)
    if(folder IN_LIST done)
      continue()
    endif()
    list(APPEND done "${folder}")
    set(source "${PROJECT_SOURCE_DIR}/src/${folder}")
    set(leaveOut "")
    foreach(inner IN LISTS innerFolders)
      string(FIND "${inner}" "${folder}/" at)
      if(at EQUAL 0)
        list(APPEND leaveOut "${PROJECT_SOURCE_DIR}/src/${inner}")
      endif()
    endforeach()
    if(NOT leaveOut)
      get_filename_component(parent "${root}/${folder}" DIRECTORY)
      file(MAKE_DIRECTORY "${parent}")
      file(CREATE_LINK "${source}" "${root}/${folder}" SYMBOLIC)
    else()
      file(MAKE_DIRECTORY "${root}/${folder}")
      file(GLOB entries LIST_DIRECTORIES true CONFIGURE_DEPENDS "${source}/*")
      foreach(entry IN LISTS entries)
        if(NOT entry IN_LIST leaveOut AND (IS_DIRECTORY "${entry}" OR entry MATCHES "\\.h$"))
          get_filename_component(entryName "${entry}" NAME)
          file(CREATE_LINK "${entry}" "${root}/${folder}/${entryName}" SYMBOLIC)
        endif()
      endforeach()
    endif()
  endforeach()
  set(${outVar} "${root}" PARENT_SCOPE)
endfunction()

# quorix_test(NAME LIBS lib...)
# One GoogleTest executable per module: every .cpp in tests/NAME/ and its
# subfolders (tests/session/models/ mirrors src/session/models/). It sees the
# headers of the modules in LIBS (and what they use) and tests/support/.
function(quorix_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name}_test ${sources})
  target_link_libraries(${name}_test PRIVATE ${T_LIBS} quorix_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name}_test PRIVATE
    QUORIX_SOURCE_DATA_DIR="${QUORIX_SOURCE_DATA_DIR}"
    QUORIX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/${name}/data")
  gtest_discover_tests(${name}_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${name})
endfunction()
