# The README's commands. Each sets up what it needs: Debian packages, then a CMake build in build/.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# CI builds treat warnings as errors; set at every configure, so an existing build follows CI too.
WERROR := $(if $(filter true,$(CI)),ON,OFF)
CONFIGURE_FLAGS = -DVELGRAPH_WARNINGS_AS_ERRORS=$(WERROR) $(CMAKE_FLAGS)
# The leak checker of sanitized runs skips what the system libraries lose (see the file).
export LSAN_OPTIONS ?= suppressions=$(CURDIR)/tests/lsan.supp

.PHONY: all deps configure build test demo bench sanitize fuzz format clean

all: build

deps:
	@sh cmake/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CONFIGURE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	$(BUILD)/apps/demo/velgraph-demo $(ARGS)

bench: build
	$(BUILD)/bench/velgraph-bench $(ARGS)

# The test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELGRAPH_SANITIZE=ON -DVELGRAPH_BENCH=OFF $(CONFIGURE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# Every libFuzzer target (needs clang and its runtime, installed with it) for FUZZ_SECONDS, each on its own
# scratch corpus, seeded with the shared test corpora when they are there (libFuzzer only reads the second folder).
fuzz:
	@sh cmake/install-deps.sh clang
	@sh cmake/install-deps.sh $$(sh cmake/clang-runtime.sh)
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELGRAPH_FUZZ=ON -DVELGRAPH_TESTS=OFF -DVELGRAPH_BENCH=OFF -DVELGRAPH_DEMO=OFF $(CONFIGURE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@[ -d ../shared/corpora ] || echo "missing folder ../shared/corpora: fuzzing from empty corpora"
	set -e; for target in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  [ -x "$$target" ] || continue; \
	  corpus=$(FUZZ_BUILD)/corpus/$$(basename $$target); mkdir -p $$corpus; \
	  $$target -max_total_time=$(FUZZ_SECONDS) -max_len=65536 $$corpus $$([ -d ../shared/corpora ] && echo ../shared/corpora); \
	done

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
