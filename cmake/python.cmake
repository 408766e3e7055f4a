# The tests' Python: the first python3 on the path that has the modules the
# tests import (a pyenv or venv python3 may come before Debian's without them).
if(NOT Python3_EXECUTABLE)
  execute_process(COMMAND sh -c "which -a python3; echo /usr/bin/python3" OUTPUT_VARIABLE candidates)
  string(REPLACE "\n" ";" candidates "${candidates}")
  foreach(candidate ${candidates})
    execute_process(COMMAND ${candidate} -c "import pytest, PIL, pefile"
      RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
    if(candidate AND NOT missing)
      set(Python3_EXECUTABLE ${candidate} CACHE FILEPATH "Python with the tests' modules")
      break()
    endif()
  endforeach()
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
