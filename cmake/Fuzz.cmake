# The fuzz build: every target instrumented for libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer; the fuzz programs link libFuzzer's driver
# (morvelle_fuzz_target in tests/fuzz). Only clang brings libFuzzer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MORVELLE_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()
if(MORVELLE_SANITIZE)
    message(FATAL_ERROR "MORVELLE_FUZZ chooses its own sanitizers; leave MORVELLE_SANITIZE empty")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
