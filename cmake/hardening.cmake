# Sanitizer and fuzzing builds (a second build tree, clang):
#   cmake -S . -B build-san -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DRIODESK_SANITIZE=ON -DRIODESK_FUZZ=ON
# RIODESK_SANITIZE builds every library, tool and test with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report ends the process with an error.
# RIODESK_FUZZ (clang only) adds the fuzzer's coverage instrumentation and the
# libFuzzer targets of tests/fuzz/.
option(RIODESK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(RIODESK_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(RIODESK_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "RIODESK_FUZZ needs clang; the fuzz targets are not built")
  set(RIODESK_FUZZ OFF)
endif()

if(RIODESK_SANITIZE OR RIODESK_FUZZ)
  set(RIODESK_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${RIODESK_SAN_FLAGS})
  add_link_options(${RIODESK_SAN_FLAGS})
endif()
if(RIODESK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
