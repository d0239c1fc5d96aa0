# NovaPlayer: `make play` and `make test` set everything up themselves.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 4
CMAKE_COMMON := -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

TEST_DIR := build/test
REL_DIR := build/release
# The built tools, for tests that run them.
TEST_ENV = NOVA_TOOL=$$PWD/apps/novatool/novatool NOVA_PLAY=$$PWD/apps/novaplay/novaplay

# Cache hits across clones and worktrees of the repository.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: all deps play test bench build release fuzz golden clean

all: release

deps:
	@bash scripts/install-deps

# Sanitised build: AddressSanitizer + UndefinedBehaviorSanitizer, with fuzz targets.
build: deps
	cmake -S . -B $(TEST_DIR) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_C_FLAGS_DEBUG="-O1 -g" \
	  -DNOVA_SANITIZE=ON -DNOVA_FUZZ=ON -DNOVA_TESTS=ON
	cmake --build $(TEST_DIR) -j $(JOBS)

test: build
	cd $(TEST_DIR) && $(TEST_ENV) ASAN_OPTIONS=detect_leaks=1 ctest -j $(JOBS) --output-on-failure --timeout 300
	bash scripts/run-fuzzers $(TEST_DIR) $(FUZZ_SECONDS)

fuzz: build
	bash scripts/run-fuzzers $(TEST_DIR) 60

release: deps
	cmake -S . -B $(REL_DIR) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DNOVA_TESTS=OFF
	cmake --build $(REL_DIR) -j $(JOBS)

play: release
	bash scripts/play $(REL_DIR)

bench: deps
	cmake -S . -B build/bench $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DNOVA_TESTS=OFF -DNOVA_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	bash scripts/run-benches build/bench

# Regenerates the golden PNGs of the end-to-end tests; look at them before committing.
golden: build
	cd $(TEST_DIR) && $(TEST_ENV) NOVA_UPDATE_GOLDEN=1 ctest -j $(JOBS) -R 'e2e|Golden' --output-on-failure

clean:
	rm -rf build
