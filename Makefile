# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README: `make run` and `make test`; `make fuzz` runs the fuzz targets.

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_CLANG ?= build-clang
BUILD_FUZZ ?= build-fuzz
# Seconds of fuzzing per target.
FUZZ_SECONDS ?= 20
JOBS       ?= $(shell nproc)
EXAMPLE    ?= examples/bearing-diameters.kivs

.PHONY: all deps build build-asan build-clang build-fuzz run test check-format test-core test-asan test-clang \
        test-gui bench fuzz format clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVSPC_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

$(BUILD_ASAN)/build.ninja:
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIVSPC_WERROR=ON \
	    -DKIVSPC_SANITIZE=ON -DKIVSPC_GUI=OFF -DKIVSPC_BENCH=OFF

build-asan: deps $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)

# The core tests built by clang as well: a second compiler finds what the first lets pass.
$(BUILD_CLANG)/build.ninja:
	cmake -S . -B $(BUILD_CLANG) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	    -DKIVSPC_WERROR=ON -DKIVSPC_GUI=OFF -DKIVSPC_BENCH=OFF

build-clang: deps $(BUILD_CLANG)/build.ninja
	cmake --build $(BUILD_CLANG) -j $(JOBS)

$(BUILD_FUZZ)/build.ninja:
	cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DKIVSPC_FUZZ=ON -DKIVSPC_GUI=OFF -DKIVSPC_TESTS=OFF -DKIVSPC_BENCH=OFF

build-fuzz: deps $(BUILD_FUZZ)/build.ninja
	cmake --build $(BUILD_FUZZ) -j $(JOBS)

run: build
	$(BUILD)/src/kivspc/kivspc $(EXAMPLE)

test-core: build
	ctest --test-dir $(BUILD) -L core --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(BUILD_ASAN) -L core --output-on-failure -j $(JOBS)

test-clang: build-clang
	ctest --test-dir $(BUILD_CLANG) -L core --output-on-failure -j $(JOBS)

# Fails with the list of files that clang-format would change (`make format` fixes them).
check-format: deps
	@scripts/check-format

test-gui: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) -L gui --output-on-failure

test: check-format test-core test-asan test-clang test-gui

fuzz: build-fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run $(BUILD_FUZZ)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
	    'fuzz/*.cpp' 'fuzz/*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_CLANG) $(BUILD_FUZZ)
