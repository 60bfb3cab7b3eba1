# Included by the top-level CMakeLists.txt before any target: with KOVR_FUZZ=ON and clang the
# whole build folder is instrumented for libFuzzer and the sanitizers, and tests/fuzz is built.
# With gcc, or with the option off, nothing changes.
option(KOVR_FUZZ "Build the libFuzzer targets in tests/fuzz (clang only)" OFF)
set(KOVR_FUZZ_TARGETS OFF)
if(KOVR_FUZZ)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(KOVR_FUZZ_TARGETS ON)
    # A sanitizer report ends the run, so libFuzzer keeps the input that caused it.
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fsanitize=fuzzer-no-link -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  else()
    message(WARNING "KOVR_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++): no fuzz targets")
  endif()
endif()
