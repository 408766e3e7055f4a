#!/usr/bin/env bash
# Compiler launcher for the Windows tests: GoogleTest needs std::mutex, which
# this MinGW's default (win32) thread model lacks, so the tests are compiled
# and linked with the same compiler's posix-thread variant. The shipped saver
# uses neither.
compiler=$1
shift
exec "$compiler-posix" "$@"
