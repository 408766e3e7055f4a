"""Makes the Wine prefix that every e2e test of one ctest run copies (wineboot takes a while)."""

import sys

import harness

if __name__ == "__main__":
    harness.make_template(sys.argv[1])
