# A program that runs on the build machine in a cross build, compiled with the
# host compiler outside the toolchain from the components named: sets VARIABLE
# to its path.
#
#   tarvelimunde_host_tool(VARIABLE NAME COMPONENTS component... [LIBS name...])
find_program(TARVELIMUNDE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)

function(tarvelimunde_host_tool variable name)
  cmake_parse_arguments(ARG "" "" "COMPONENTS;LIBS" ${ARGN})
  list(TRANSFORM ARG_LIBS PREPEND -l OUTPUT_VARIABLE libraries)
  set(program ${CMAKE_BINARY_DIR}/host-tools/${name})
  set(sources)
  set(flags)
  set(headers)
  # With the components that those link in turn (saver takes the setup dialog).
  set(components)
  set(pending ${ARG_COMPONENTS})
  while(pending)
    list(POP_FRONT pending component)
    if(NOT component IN_LIST components)
      list(APPEND components ${component})
      get_target_property(links ${component} INTERFACE_LINK_LIBRARIES)
      if(links)
        list(APPEND pending ${links})
      endif()
    endif()
  endwhile()
  foreach(component IN LISTS components)
    get_target_property(componentSources ${component} INTERFACE_SOURCES)
    if(componentSources)
      list(APPEND sources ${componentSources})
    endif()
    get_target_property(folders ${component} INTERFACE_INCLUDE_DIRECTORIES)
    if(folders)
      foreach(folder IN LISTS folders)
        list(APPEND flags -I${folder})
        file(GLOB folderHeaders ${folder}/*.h)
        list(APPEND headers ${folderHeaders})
      endforeach()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES flags)
  add_custom_command(OUTPUT ${program}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
    COMMAND ${TARVELIMUNDE_HOST_CXX} -std=c++17 -O2 ${flags} ${sources} -o ${program} ${libraries}
    DEPENDS ${sources} ${headers}
    COMMENT "Building ${name} with the host compiler"
    VERBATIM)
  set(${variable} ${program} PARENT_SCOPE)
endfunction()
