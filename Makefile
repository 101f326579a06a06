# Pendlow: the two commands of the README.
#   make run   installs what is missing, builds and starts the tray application
#   make test  installs what is missing, checks formatting, builds and runs every test
BUILD_DIR ?= build
CMAKE_FLAGS ?=
CTEST_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: run test build deps test-deps configure format bench clean

deps:
	@scripts/install-deps.sh build

test-deps:
	@scripts/install-deps.sh test

configure:
	@cmake -S . -B $(BUILD_DIR) -G Ninja -Wno-dev $(CMAKE_FLAGS) >/dev/null

build: deps configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/pendlow

test: test-deps
	@scripts/check-format.sh
	@cmake -S . -B $(BUILD_DIR) -G Ninja -Wno-dev $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@scripts/test-env.sh ctest --test-dir $(BUILD_DIR) --output-on-failure --no-tests=error -j $(JOBS) $(CTEST_FLAGS)

format:
	@scripts/check-format.sh --fix

bench: test-deps
	@cmake -S . -B $(BUILD_DIR)-bench -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release -DPENDLOW_BUILD_BENCH=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	@scripts/test-env.sh bench/run-all.sh $(BUILD_DIR)-bench

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench
