#!/bin/sh
# Compiler and linker launcher of the Windows test programs: runs the
# posix-thread twin (x86_64-w64-mingw32-g++-posix) of the win32-thread
# compiler the product is built with. GoogleTest needs std::mutex, which the
# win32 thread model lacks; the saver itself needs no thread runtime.
compiler=$1
shift
exec "${compiler%-win32}-posix" "$@"
