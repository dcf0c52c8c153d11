# Taluna: the two commands that set up a fresh Debian machine are `make run` and
# `make test`; both install the Debian packages the build needs when missing.

BUILD ?= build
JOBS ?= 2
EXAMPLE ?= examples/taluna_demo.gsd
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := cmake g++ make pkg-config qt6-base-dev libgl1-mesa-dev libgtest-dev libgmock-dev libbenchmark-dev
FUZZ_SECONDS ?= 60
# The fuzz targets are built with clang and its fuzzer runtime.
FUZZ_PACKAGES := cmake g++ make clang libclang-rt-14-dev libgtest-dev libgmock-dev
FUZZ_SEEDS ?= ../shared/corpus

.PHONY: deps fuzz-deps configure build run test check asan-test bench fuzz clean

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

bench: build
	$(BUILD)/bench/taluna_bench

clean:
	rm -rf $(BUILD) build-asan build-fuzz
