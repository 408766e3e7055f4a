# A program that runs on the build machine in a cross build, compiled with the
# host compiler outside the toolchain: sets VARIABLE to its path.
#
#   tarvelimunde_host_tool(VARIABLE NAME SOURCES file... INCLUDES dir... [LIBS name...])
find_program(TARVELIMUNDE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)

function(tarvelimunde_host_tool variable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;INCLUDES;LIBS" ${ARGN})
  set(program ${CMAKE_BINARY_DIR}/host-tools/${name})
  set(flags)
  set(headers)
  list(TRANSFORM ARG_LIBS PREPEND -l OUTPUT_VARIABLE libraries)
  foreach(folder ${ARG_INCLUDES})
    list(APPEND flags -I${folder})
    file(GLOB folderHeaders ${folder}/*.h)
    list(APPEND headers ${folderHeaders})
  endforeach()
  add_custom_command(OUTPUT ${program}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
    COMMAND ${TARVELIMUNDE_HOST_CXX} -std=c++17 -O2 ${flags} ${ARG_SOURCES} -o ${program} ${libraries}
    DEPENDS ${ARG_SOURCES} ${headers}
    COMMENT "Building ${name} with the host compiler"
    VERBATIM)
  set(${variable} ${program} PARENT_SCOPE)
endfunction()
