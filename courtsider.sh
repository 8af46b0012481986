#!/usr/bin/env bash
# Builds, tests and starts Courtsider 99.
#   ./courtsider.sh build   install what the build needs, build the optimized program (with its
#                           debugging information) into build/
#   ./courtsider.sh run     build, then start the program (the sample pool on a first start)
#   ./courtsider.sh test    build the tests with AddressSanitizer and UndefinedBehaviorSanitizer
#                           into build-sanitize/ and run them all through ctest
#   ./courtsider.sh tsan    build the tests that run threads (the outlook, the pick server, the
#                           pool's lock, saves and names) with ThreadSanitizer into build-tsan/
#                           and run them
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

# Every Debian package the build, the tests and the screenshots need.
PACKAGES=(
  cmake make g++ clang
  qt6-base-dev qt6-svg-dev libgl-dev
  pkg-config libcpp-httplib-dev
  xvfb xauth fonts-liberation imagemagick poppler-utils libreoffice-writer-nogui chromium
  desktop-file-utils appstream file dpkg-dev
  python3
)

install_packages() {
  local missing=()
  for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Install them as root, then run this again:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]} ..."
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
  local dir=$1
  local type=$2
  shift 2
  cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$ROOT/$dir" -j "$JOBS"
}

build() {
  install_packages
  configure_and_build build RelWithDebInfo -DCOURTSIDER_TESTS=OFF
}

run() {
  # Build first: the packages it installs include Xvfb, which the advice below needs.
  build
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show Courtsider 99 on (DISPLAY is not set)." >&2
    echo "Start it on a virtual X display instead:" >&2
    echo "  xvfb-run -a -s \"-screen 0 1280x1024x24\" ./courtsider.sh run" >&2
    exit 1
  fi
  # From its own folder, so that a first start with no settings finds the sample pool there.
  cd "$ROOT/build/bin"
  exec ./courtsider "$@"
}

test_all() {
  install_packages
  # With the benchmarks, which ctest runs once each at a tiny size.
  configure_and_build build-sanitize Debug -DCOURTSIDER_SANITIZE=ON -DCOURTSIDER_WERROR=ON \
    -DCOURTSIDER_BENCH=ON
  export QT_QPA_PLATFORM=offscreen
  export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
  cd "$ROOT/build-sanitize"
  ctest --output-on-failure -j "$JOBS"
}

# The tests whose code runs on more than one thread.
THREADED_TESTS=(test_outlook test_server test_server_hostile test_live_server test_saves test_storage)

tsan() {
  install_packages
  cmake -S "$ROOT" -B "$ROOT/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOURTSIDER_TSAN=ON \
    -DCOURTSIDER_WERROR=ON >/dev/null
  cmake --build "$ROOT/build-tsan" -j "$JOBS" --target "${THREADED_TESTS[@]}"
  export QT_QPA_PLATFORM=offscreen
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$ROOT/tests/tsan.supp"
  cd "$ROOT/build-tsan"
  local pattern
  pattern="^($(IFS='|'; echo "${THREADED_TESTS[*]}"))\$"
  ctest --output-on-failure -j "$JOBS" -R "$pattern"
}

case "${1:-}" in
  build) build ;;
  run) shift; run "$@" ;;
  test) test_all ;;
  tsan) tsan ;;
  *)
    echo "usage: $0 build|run|test|tsan" >&2
    exit 2
    ;;
esac
