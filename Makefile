# Taluna: the two commands that set up a fresh Debian machine are `make run` and
# `make test`; both install the Debian packages the build needs when missing.

BUILD ?= build
JOBS ?= 2
EXAMPLE ?= examples/taluna_demo.gsd
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# libqt6svg6 draws the editor's icons, which are SVG.
PACKAGES := cmake g++ make pkg-config qt6-base-dev libgl1-mesa-dev libgtest-dev libgmock-dev libbenchmark-dev \
  nlohmann-json3-dev libqt6svg6
FUZZ_SECONDS ?= 60
# The fuzz targets are built with clang and its fuzzer runtime.
FUZZ_PACKAGES := cmake g++ make clang libclang-rt-14-dev libgtest-dev libgmock-dev nlohmann-json3-dev
FUZZ_SEEDS ?= ../shared/corpus

# `make package`: the .deb (CPack), built for /usr in its own build directory (stripped
# when packed), the icons rendered by rsvg-convert and the dependencies found by
# dpkg-shlibdeps. It is built optimised (-O3, link-time optimisation) with the profile
# of a training run of its own taluna-check (TALUNA_PGO); .ci/check-package compares
# the installed checker's rows with the tested build's.
PKG_BUILD ?= build-pkg
PKG_PACKAGES := cmake g++ make pkg-config qt6-base-dev libgl1-mesa-dev librsvg2-bin dpkg-dev file nlohmann-json3-dev
# `make windows`: taluna-check.exe and taluna-config.exe cross-built with MinGW-w64, zipped
# with their licence texts.
WIN_BUILD ?= build-win
WIN_PACKAGES := cmake make g++-mingw-w64-x86-64-posix

# Installs the Debian packages named in $(1) that are missing.
define install_missing
	@missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi
endef

.PHONY: deps fuzz-deps configure build run test check asan-test bench fuzz clean package windows

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/app/taluna $(EXAMPLE)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The core and its tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTALUNA_CORE_ONLY=ON -DTALUNA_SANITIZE=ON -DTALUNA_BENCH=OFF
	cmake --build build-asan -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j$(JOBS)

fuzz-deps:
	@missing=""; for p in $(FUZZ_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

# Both libFuzzer targets under AddressSanitizer and UndefinedBehaviorSanitizer:
# first every input kept under fuzz/regressions/, then FUZZ_SECONDS of fuzzing
# per target seeded from FUZZ_SEEDS (also when a kept input fails). Any crash,
# leak, timeout or sanitizer report fails.
fuzz: fuzz-deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DTALUNA_FUZZ=ON -DTALUNA_CORE_ONLY=ON -DTALUNA_BENCH=OFF
	cmake --build build-fuzz -j$(JOBS) --target fuzz_check_gsd fuzz_scanners \
	  fuzz_check_gsd_regressions fuzz_scanners_regressions
	@status=0; \
	ctest --test-dir build-fuzz -R '_regressions$$' --output-on-failure || status=1; \
	fuzz/run_fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_SEEDS) || status=1; \
	exit $$status

package:
	$(call install_missing,$(PKG_PACKAGES))
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTALUNA_PACKAGING=ON -DTALUNA_TESTS=OFF -DTALUNA_BENCH=OFF -DTALUNA_PGO=GENERATE
	cmake --build $(PKG_BUILD) -j$(JOBS) --target pgo-train
	cmake -S . -B $(PKG_BUILD) -DTALUNA_PGO=USE
	cmake --build $(PKG_BUILD) -j$(JOBS)
	cd $(PKG_BUILD) && cpack -G DEB
	@ls -l $(PKG_BUILD)/taluna_*.deb

windows:
	$(call install_missing,$(WIN_PACKAGES))
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=packaging/windows/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DTALUNA_CORE_ONLY=ON -DTALUNA_TESTS=OFF -DTALUNA_BENCH=OFF
	cmake --build $(WIN_BUILD) -j$(JOBS)
	cd $(WIN_BUILD) && cpack -G ZIP
	@ls -l $(WIN_BUILD)/taluna-check-*-windows-x86_64.zip

bench: build
	$(BUILD)/bench/taluna_bench

clean:
	rm -rf $(BUILD) build-asan build-fuzz $(PKG_BUILD) $(WIN_BUILD)
