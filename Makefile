# Pendlow: the two commands of the README.
#   make run   installs what is missing, builds and starts the tray application
#   make test  installs what is missing, checks formatting and layers, builds and runs every test,
#              then builds the suite again with AddressSanitizer and UndefinedBehaviorSanitizer and
#              runs it once more
#   make install  builds, then installs the binaries, the desktop file and the icon under PREFIX
#              (default /usr/local; e.g. make install PREFIX=$HOME/.local)
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= $(BUILD_DIR)-asan
CMAKE_FLAGS ?=
CTEST_FLAGS ?=
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

# A build folder configured with another compiler (GCC, before the move to clang) is made anew.
define fresh_build_dir
	@if grep -qs '^CMAKE_CXX_COMPILER:[A-Z]*=.*g++' $(1)/CMakeCache.txt; then rm -rf $(1); fi
endef

SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0 \
	ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-16/bin/llvm-symbolizer \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$(CURDIR)/tests/sanitizers/ubsan.supp

FUZZ_RUNS ?= 1000000

.PHONY: run test test-plain test-sanitizers build deps test-deps configure format bench fuzz clean install

deps:
	@scripts/install-deps.sh build

test-deps:
	@scripts/install-deps.sh test

configure:
	$(call fresh_build_dir,$(BUILD_DIR))
	@cmake -S . -B $(BUILD_DIR) -G Ninja -Wno-dev $(CMAKE_FLAGS) >/dev/null

build: deps configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/pendlow

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

test: test-deps
	@scripts/check-format.sh
	@scripts/check-layers.sh
	@$(MAKE) --no-print-directory test-plain
	@$(MAKE) --no-print-directory test-sanitizers

test-plain:
	$(call fresh_build_dir,$(BUILD_DIR))
	@cmake -S . -B $(BUILD_DIR) -G Ninja -Wno-dev $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@scripts/test-env.sh ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error -j $(JOBS) $(CTEST_FLAGS)

test-sanitizers:
	@echo "== the suite again, under AddressSanitizer and UndefinedBehaviorSanitizer"
	$(call fresh_build_dir,$(ASAN_BUILD_DIR))
	@cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Debug -DPENDLOW_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	@$(SANITIZER_ENV) scripts/test-env.sh ctest --test-dir $(ASAN_BUILD_DIR) --output-on-failure --no-tests=error -j $(JOBS) $(CTEST_FLAGS)

format:
	@scripts/check-format.sh --fix

bench: test-deps
	$(call fresh_build_dir,$(BUILD_DIR)-bench)
	@cmake -S . -B $(BUILD_DIR)-bench -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release -DPENDLOW_BUILD_BENCH=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	@scripts/test-env.sh bench/run-all.sh $(BUILD_DIR)-bench

# The usage day-file decoder under libFuzzer, FUZZ_RUNS inputs (default a million), starting from the
# seeds in tests/fuzz/seeds; the corpus it grows stays in the build folder.
fuzz: test-deps
	$(call fresh_build_dir,$(BUILD_DIR)-fuzz)
	@cmake -S . -B $(BUILD_DIR)-fuzz -G Ninja -Wno-dev -DPENDLOW_BUILD_FUZZ=ON -DPENDLOW_BUILD_TESTS=OFF \
		-DPENDLOW_BUILD_WEB=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR)-fuzz --target fuzz_usage_day_file -j $(JOBS)
	@mkdir -p $(BUILD_DIR)-fuzz/corpus/usage-day
	@cp -n tests/fuzz/seeds/usage-day/* $(BUILD_DIR)-fuzz/corpus/usage-day/
	$(SANITIZER_ENV) $(BUILD_DIR)-fuzz/tests/fuzz/fuzz_usage_day_file -runs=$(FUZZ_RUNS) -max_len=65536 \
		-timeout=10 $(BUILD_DIR)-fuzz/corpus/usage-day

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-fuzz
