# End-to-end tests: the built 64-bit saver started under Wine on Xvfb and driven
# as a user would, with helper programs and password test doubles of our own.
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  return()
endif()

set(E2E_DIR ${CMAKE_BINARY_DIR}/e2e)

function(e2e_target name)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${E2E_DIR} LIBRARY_OUTPUT_DIRECTORY ${E2E_DIR})
  # Self-contained, so nothing but the system's own libraries is needed under Wine.
  target_link_options(${name} PRIVATE -static)
  target_link_libraries(${name} PRIVATE user32 gdi32 kernel32)
endfunction()

add_executable(e2e_preview_parent tests/e2e/preview_parent.cpp)
set_target_properties(e2e_preview_parent PROPERTIES OUTPUT_NAME preview_parent)
e2e_target(e2e_preview_parent)

add_executable(e2e_window_probe tests/e2e/window_probe.cpp)
set_target_properties(e2e_window_probe PROPERTIES OUTPUT_NAME window_probe)
e2e_target(e2e_window_probe)

# The doubles carry the system libraries' own file names.
add_library(e2e_password_cpl SHARED tests/e2e/password_cpl.cpp tests/e2e/double_log.cpp)
set_target_properties(e2e_password_cpl PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX .CPL)
e2e_target(e2e_password_cpl)

# The verifier's library without its entry, in a folder of its own.
add_library(e2e_password_without_entry SHARED tests/e2e/password_without_entry/password_cpl_without_entry.cpp
  tests/e2e/double_log.cpp)
set_target_properties(e2e_password_without_entry PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX .CPL
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e-without-entry)
e2e_target(e2e_password_without_entry)
set_target_properties(e2e_password_without_entry PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${E2E_DIR}/without-entry)

add_library(e2e_mpr_double SHARED tests/e2e/mpr_double.cpp tests/e2e/double_log.cpp)
set_target_properties(e2e_mpr_double PROPERTIES PREFIX "" OUTPUT_NAME MPR SUFFIX .DLL)
e2e_target(e2e_mpr_double)

# One Wine prefix per ctest run, copied by every test.
set(E2E_TEMPLATE ${E2E_DIR}/wine-template)
add_test(NAME e2e_wine_template
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/e2e/make_template.py ${E2E_TEMPLATE})
add_test(NAME e2e_wine_template_removal COMMAND ${CMAKE_COMMAND} -E rm -rf ${E2E_TEMPLATE})
set_tests_properties(e2e_wine_template PROPERTIES FIXTURES_SETUP e2e_wine TIMEOUT 180
  ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
set_tests_properties(e2e_wine_template_removal PROPERTIES FIXTURES_CLEANUP e2e_wine)

set(E2E_ENVIRONMENT
  TARVELIMUNDE_WINE_TEMPLATE=${E2E_TEMPLATE}
  TARVELIMUNDE_SCR=${CMAKE_BINARY_DIR}/Tarvelimunde.scr
  TARVELIMUNDE_E2E_BIN=${E2E_DIR}
  PYTHONDONTWRITEBYTECODE=1
)
foreach(suite switches fullscreen preview password setup_dialog faults soak)
  add_test(NAME e2e_${suite}
    COMMAND ${Python3_EXECUTABLE} -m pytest -q -p no:cacheprovider ${CMAKE_SOURCE_DIR}/tests/e2e/test_${suite}.py
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e_${suite} PROPERTIES ENVIRONMENT "${E2E_ENVIRONMENT}" TIMEOUT 240
    FIXTURES_REQUIRED e2e_wine)
endforeach()
# A person may set TARVELIMUNDE_WINE_SOAK_SECONDS to soak for minutes (20 s when unset).
set_tests_properties(e2e_soak PROPERTIES TIMEOUT 900)
