# cmake -DMODULE_FILE=cmake/QuorixModule.cmake -DWORK=dir -DGENERATOR=Ninja
#       [-DMAKE_PROGRAM=ninja] [-DCXX=c++] -P layering_check.cmake
#
# Configures small throwaway projects on cmake/QuorixModule.cmake and checks
# that it refuses what breaks the layering: a DEPS entry that points up or
# sideways, a module that needs itself, a module on no layer, and an include
# of a module that is not among the DEPS, while the same include compiles
# where DEPS allows it and the front ends on top keep their outside libraries.

foreach(required MODULE_FILE WORK GENERATOR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "layering_check.cmake needs -D${required}=...")
  endif()
endforeach()

set(failures 0)
set(toolArgs -G "${GENERATOR}")
if(MAKE_PROGRAM)
  list(APPEND toolArgs "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}")
endif()
if(CXX)
  list(APPEND toolArgs "-DCMAKE_CXX_COMPILER=${CXX}")
endif()

# Writes WORK/<name>/ with a CMakeLists.txt holding `body` after the module
# file, and for each module folder F in `folders` (its last part P) a header
# src/F/P_probe.h and a source src/F/P_probe.cpp; `includes` lists "F:header"
# pairs, the headers the source of F includes besides its own.
function(write_project name languages body folders includes)
  set(dir "${WORK}/${name}")
  file(REMOVE_RECURSE "${dir}")
  foreach(folder IN LISTS folders)
    get_filename_component(probe "${folder}" NAME)
    file(WRITE "${dir}/src/${folder}/${probe}_probe.h" "#pragma once\ninline int ${probe}Probe() { return 1; }\n")
    set(text "#include \"${folder}/${probe}_probe.h\"\n")
    foreach(pair IN LISTS includes)
      if(pair MATCHES "^${folder}:(.+)$")
        string(APPEND text "#include \"${CMAKE_MATCH_1}\"\n")
      endif()
    endforeach()
    string(APPEND text "int ${probe}Use() { return ${probe}Probe(); }\n")
    file(WRITE "${dir}/src/${folder}/${probe}_probe.cpp" "${text}")
  endforeach()
  file(WRITE "${dir}/CMakeLists.txt"
       "cmake_minimum_required(VERSION 3.25)\nproject(layering_probe LANGUAGES ${languages})\n"
       "include(\"${MODULE_FILE}\")\n${body}\n")
endfunction()

# Runs `command` in WORK and checks its outcome: `expect` is "pass" or
# "fail"; `pattern`, when not empty, must occur in the output.
function(expect_run what expect pattern)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \t\r\n]+" " " text "${out}${err}")  # messages wrap
  set(ok TRUE)
  if(expect STREQUAL "pass" AND NOT result EQUAL 0)
    set(ok FALSE)
  elseif(expect STREQUAL "fail" AND result EQUAL 0)
    set(ok FALSE)
  endif()
  if(ok AND NOT pattern STREQUAL "")
    string(FIND "${text}" "${pattern}" at)
    if(at LESS 0)
      set(ok FALSE)
    endif()
  endif()
  if(ok)
    message(STATUS "ok: ${what}")
  else()
    message(STATUS "FAILED: ${what}: expected to ${expect} with \"${pattern}\", got exit ${result}:\n${out}${err}")
    math(EXPR count "${failures} + 1")
    set(failures ${count} PARENT_SCOPE)
  endif()
endfunction()

macro(configure name expect pattern)
  expect_run("configure ${name}" ${expect} "${pattern}" "${CMAKE_COMMAND}" ${toolArgs}
             -S "${WORK}/${name}" -B "${WORK}/${name}/build")
endmacro()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Refusals come before any compiler is needed: these projects enable no language.
# name | body | text the error must hold
set(refusals
  "upward|quorix_module(settings)\nquorix_module(device DEPS settings)|DEPS settings is refused: settings is on layer 4"
  "sideways|quorix_module(keys)\nquorix_module(device DEPS keys)|DEPS keys is refused: keys is on layer 3 (device keys platform_linux), not below device on layer 3"
  "self|quorix_module(texts DEPS texts)|DEPS lists texts itself"
  "cycle|quorix_module(device DEPS settings)\nquorix_module(settings DEPS device)|DEPS settings is refused"
  "no-layer|quorix_module(widgets)|widgets is on no layer"
  "not-a-module|quorix_module(ui DEPS Qt6::Widgets)|DEPS Qt6::Widgets is no module"
  "undefined|quorix_module(device DEPS platform)|DEPS platform is not defined yet")
foreach(row IN LISTS refusals)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 body)
  list(GET fields 2 pattern)
  string(REPLACE "\\n" "\n" body "${body}")
  write_project("${name}" NONE "${body}" "" "")
  configure("${name}" fail "${pattern}")
endforeach()

# The front ends on top: ui and app accepted over the session, their outside
# libraries passed on to whatever links them.
write_project(top NONE [[
add_library(Probe::Widgets INTERFACE IMPORTED)
quorix_module(base)
quorix_module(platform DEPS base)
quorix_module(device DEPS platform)
quorix_module(session DEPS device)
quorix_module(ui DEPS session PUBLIC_LIBS Probe::Widgets)
quorix_module(app DEPS ui session PUBLIC_LIBS Probe::Widgets)
quorix_module(cli DEPS session)
get_target_property(libs quorix_app INTERFACE_LINK_LIBRARIES)
if(NOT "Probe::Widgets" IN_LIST libs OR NOT "quorix_ui" IN_LIST libs)
  message(FATAL_ERROR "app links ${libs}")
endif()
]] "" "")
configure(top pass "")

# Includes: texts may use base and compiles; firmware, on the same layer as
# texts but without DEPS base, includes the same header and must not compile.
# The platform folder holds platform/linux, another module: a module that may
# use platform but not platform_linux sees platform's headers and not linux's.
write_project(includes CXX [[
quorix_module(base SOURCES src/base/base_probe.cpp)
quorix_module(platform SOURCES src/platform/platform_probe.cpp)
quorix_module(platform_linux_base DEPS platform SOURCES src/platform/linux/linux_probe.cpp)
quorix_module(texts DEPS base SOURCES src/texts/texts_probe.cpp)
quorix_module(firmware SOURCES src/firmware/firmware_probe.cpp)
quorix_module(device DEPS platform SOURCES src/device/device_probe.cpp)
quorix_module(keys DEPS platform_linux_base SOURCES src/keys/keys_probe.cpp)
]] "base;platform;platform/linux;texts;firmware;device;keys"
   "texts:base/base_probe.h;firmware:base/base_probe.h;device:platform/platform_probe.h;device:platform/linux/linux_probe.h;keys:platform/linux/linux_probe.h;keys:platform/platform_probe.h")
configure(includes pass "")
set(build "${CMAKE_COMMAND}" --build "${WORK}/includes/build" --target)
expect_run("texts includes base, which it lists" pass "" ${build} quorix_texts)
expect_run("firmware includes base, which it does not list" fail "base/base_probe.h: No such file" ${build} quorix_firmware)
expect_run("device includes platform/linux, which it does not list" fail "platform/linux/linux_probe.h: No such file"
           ${build} quorix_device)
expect_run("keys includes platform and platform/linux" pass "" ${build} quorix_keys)

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layering check(s) failed")
endif()
