set(CMAKE_C_COMPILER   ${QUIB_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUIB_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QUIB_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUIB_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run through Wine; scripts/wine-run picks the prefix and binary.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
# No time stamp in any program file: a rebuild of the same sources gives the
# same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
