# The tests' own files are compiled at -O1: their speed hardly matters, and at
# the trees' -O2 and -O3 GoogleTest's macros take most of the build. They are
# also compiled four at a time as one unit, so that GoogleTest's and the
# system's headers are read once per unit rather than once per file, and a few
# units keep both cores busy. The program's files that a test links keep the
# tree's options and stay units of their own, as in the programs.
function(tarvelimunde_test_code target)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  set(index 0)
  foreach(source IN LISTS sources)
    math(EXPR unit "${index} / 4")
    set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES UNITY_GROUP tests_${unit})
    math(EXPR index "${index} + 1")
  endforeach()
  # A file's own options would keep it out of its unit, so they go on the
  # units, which CMake writes as Unity/unity_<group>_cxx.cxx in the target's
  # folder.
  get_target_property(folder ${target} BINARY_DIR)
  # (A file that two programs share takes the unit of the last one; the ten
  # units named here cover any program of up to forty files.)
  foreach(unit RANGE 9)
    set_source_files_properties(${folder}/CMakeFiles/${target}.dir/Unity/unity_tests_${unit}_cxx.cxx
      TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -O1)
  endforeach()
endfunction()
