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
