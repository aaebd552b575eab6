# quorix_wayland_protocol(TARGET XML)
# Generates the client side of a Wayland protocol with wayland-scanner: the
# header <name>-client-protocol.h (name: the XML's file name without .xml)
# and the interface code, compiled into TARGET. The code is C; it is compiled
# as C++ through a unit that includes the header first, whose extern "C"
# declarations give the interface tables their C linkage: the project stays a
# C++ one, and the fuzzing and sanitizer flags meet one compiler only. The header's folder,
# build/.../protocols/, is on TARGET's private include path: the protocol stays
# an implementation detail of the module that speaks it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(QUORIX_WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT QUORIX_WAYLAND_SCANNER)
  find_program(QUORIX_WAYLAND_SCANNER wayland-scanner REQUIRED)
endif()

function(quorix_wayland_protocol target xml)
  get_filename_component(xml "${xml}" ABSOLUTE)
  get_filename_component(name "${xml}" NAME_WE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/protocols")
  file(MAKE_DIRECTORY "${out}")
  add_custom_command(OUTPUT "${out}/${name}-client-protocol.h"
                     COMMAND "${QUORIX_WAYLAND_SCANNER}" client-header "${xml}" "${out}/${name}-client-protocol.h"
                     # The layer shell names an argument "namespace", a C++ keyword: renamed.
                     COMMAND sed -i -E "s/\\bnamespace([),])/namespace_\\1/g"
                             "${out}/${name}-client-protocol.h"
                     DEPENDS "${xml}" VERBATIM)
  add_custom_command(OUTPUT "${out}/${name}-protocol.c"
                     COMMAND "${QUORIX_WAYLAND_SCANNER}" private-code "${xml}" "${out}/${name}-protocol.c"
                     DEPENDS "${xml}" VERBATIM)
  string(CONCAT unit "// Generated: ${name}'s interface code compiled as C++.\n"
         "// The tables are marked hidden after the header's plain declarations; GCC notes it, harmlessly.\n"
         "#pragma GCC diagnostic ignored \"-Wattributes\"\n"
         "#include \"${name}-client-protocol.h\"\n#include \"${name}-protocol.c\"\n")
  file(CONFIGURE OUTPUT "${out}/${name}-protocol.cpp" CONTENT "${unit}")
  set_source_files_properties("${out}/${name}-protocol.cpp" PROPERTIES
                              OBJECT_DEPENDS "${out}/${name}-client-protocol.h;${out}/${name}-protocol.c")
  target_sources(${target} PRIVATE "${out}/${name}-client-protocol.h" "${out}/${name}-protocol.c"
                                   "${out}/${name}-protocol.cpp")
  set_source_files_properties("${out}/${name}-protocol.c" PROPERTIES HEADER_FILE_ONLY ON)
  target_include_directories(${target} PRIVATE "${out}")
endfunction()
