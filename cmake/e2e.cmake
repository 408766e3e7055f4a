# End-to-end tests: this tree's saver started under Wine on Xvfb and driven as
# a user would, with helper programs of its own architecture and the doubles.
set(E2E_DIR ${CMAKE_BINARY_DIR}/e2e)

function(e2e_target name)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${E2E_DIR})
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

# What every suite that drives a saver under Wine is told: this tree, its
# doubles and helpers, and what else is given (name=value...).
function(e2e_suite_properties suite)
  wine_test_properties(${suite} ENVIRONMENT TARVELIMUNDE_TREE=${CMAKE_BINARY_DIR}
    TARVELIMUNDE_DOUBLES=$<TARGET_FILE_DIR:password_double>
    TARVELIMUNDE_E2E_HELPERS=$<TARGET_FILE_DIR:e2e_window_probe> ${ARGN})
endfunction()

# Every tests/e2e/test_*.py is a suite of its own. A person may set
# TARVELIMUNDE_WINE_SOAK_SECONDS to soak e2e_soak for minutes (20 s when unset).
tarvelimunde_pytest_suites(E2E_SUITES e2e ${CMAKE_SOURCE_DIR}/tests/e2e)
foreach(suite IN LISTS E2E_SUITES)
  e2e_suite_properties(${suite})
endforeach()
# The longest suites start first when ctest runs several at once.
set_tests_properties(e2e_faults e2e_fullscreen PROPERTIES COST 50)
