# The static checks and the end-to-end tests are Python with pefile, pytest
# and PIL. A python3 earlier on PATH (pyenv, a virtualenv) may lack them, so
# the first one that has them is the interpreter.
function(tarvelimunde_python_has_modules result candidate)
  execute_process(COMMAND ${candidate} -c "import pefile, pytest, PIL"
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()
find_program(Python3_EXECUTABLE NAMES python3 VALIDATOR tarvelimunde_python_has_modules
  DOC "python3 with pefile, pytest and PIL")
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# One ctest test per pytest file test_*.py in FOLDER, named PREFIX_ plus the
# file's name without test_ (test_soak.py in e2e: e2e_soak), each in a slot of
# its own. A suite whose every case was skipped exits 77 and shows as skipped,
# with pytest's reasons (-rs) in its output. Sets VARIABLE to the names made.
#   tarvelimunde_pytest_suites(VARIABLE PREFIX FOLDER [EXCEPT suite...])
function(tarvelimunde_pytest_suites variable prefix folder)
  cmake_parse_arguments(ARG "" "" "EXCEPT" ${ARGN})
  file(GLOB files CONFIGURE_DEPENDS ${folder}/test_*.py)
  set(made)
  foreach(file IN LISTS files)
    get_filename_component(stem ${file} NAME_WE)
    string(REGEX REPLACE "^test_" "" suite ${stem})
    if(suite IN_LIST ARG_EXCEPT)
      continue()
    endif()
    add_test(NAME ${prefix}_${suite}
      COMMAND ${TARVELIMUNDE_SLOT} ${Python3_EXECUTABLE} -m pytest -q -rs -p no:cacheprovider -p all_skipped ${file}
      WORKING_DIRECTORY ${folder})
    set_tests_properties(${prefix}_${suite} PROPERTIES TIMEOUT ${TARVELIMUNDE_SUITE_TIMEOUT} SKIP_RETURN_CODE 77
      ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1;PYTHONPATH=${CMAKE_SOURCE_DIR}/tests")
    list(APPEND made ${prefix}_${suite})
  endforeach()
  set(${variable} ${made} PARENT_SCOPE)
endfunction()
