# Shared by scripts/test and scripts/demo.
need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}
configure_and_build() {
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja
  cmake --build build -j"$(nproc)"
}
# The clang tree: every library, tool and test with AddressSanitizer and
# UndefinedBehaviorSanitizer, plus the fuzz program. Without clang and its
# fuzzer runtime it returns 1 and builds nothing.
have_fuzz_toolchain() {
  command -v clang++ >/dev/null 2>&1 || return 1
  [ -f "$(clang++ -print-runtime-dir 2>/dev/null)/libclang_rt.fuzzer-x86_64.a" ]
}
configure_san() {
  have_fuzz_toolchain || return 1
  [ -f build-san/build.ninja ] || cmake -S . -B build-san -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DRIODESK_SANITIZE=ON -DRIODESK_FUZZ=ON >/dev/null
}
# Any sanitizer report ends the process with an error; leaks inside the
# system libraries the window loads are not reported.
export_sanitizer_options() {
  export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
}
