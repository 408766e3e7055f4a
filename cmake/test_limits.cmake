# A suite's time limit: 200 ceilings of a wait (tests/support.py), above the sum
# of its cases' (at most 38 cases of a few waits), so that a wait reports before
# ctest cuts it short. TARVELIMUNDE_TIME_SCALE scales both, read here.
execute_process(COMMAND awk "BEGIN { s = ENVIRON[\"TARVELIMUNDE_TIME_SCALE\"] + 0; print int(24000 * (s > 0 ? s : 1)) }"
  OUTPUT_VARIABLE TARVELIMUNDE_SUITE_TIMEOUT OUTPUT_STRIP_TRAILING_WHITESPACE)
# TARVELIMUNDE_SLOT: the command before a suite that starts servers, so that no
# more of them run at once than twice the machine's cores (tests/slot.sh).
set(TARVELIMUNDE_SLOT bash ${CMAKE_SOURCE_DIR}/tests/slot.sh)
