# The tests' own files are compiled at -O1: their speed hardly matters, and at
# the trees' -O2 and -O3 GoogleTest's macros take most of the build. The
# program's files that a test links keep the tree's options.
function(tarvelimunde_test_code target)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  set_source_files_properties(${sources} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -O1)
endfunction()
