# Top-level commands. `make test` installs what is missing, builds with the
# address and undefined-behaviour sanitizers and runs every test, then runs
# every fuzz target briefly (FUZZ_TEST_SECONDS each). `make fuzz` runs them
# longer (FUZZ_SECONDS each, or until FUZZ_RUNS inputs when that comes
# first), FUZZ_JOBS at once.
JOBS ?= $(shell nproc)
TEST_DIR  := build/test
BENCH_DIR := build/bench
RUN_DIR   := build/run
FUZZ_DIR  := build/fuzz
TEST_TMP  := $(CURDIR)/$(TEST_DIR)/tmp-of-tests
FUZZ_SECONDS ?= 180
FUZZ_TEST_SECONDS ?= 5
FUZZ_JOBS ?= $(JOBS)
FUZZ_RUNS ?= -1

.PHONY: deps run test bench build clean fuzz

deps:
	@tools/install-deps.sh

run: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_TESTS=OFF
	cmake --build $(RUN_DIR) -j $(JOBS) --target QM7148H
	$(RUN_DIR)/bin/QM7148H

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	@# The tests get a temporary and a runtime folder of their own; whatever
	@# is left in either afterwards is a file some test did not remove.
	rm -rf $(TEST_TMP) && mkdir -p $(TEST_TMP)/tmp $(TEST_TMP)/run && chmod 700 $(TEST_TMP)/run
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen \
	  TMPDIR=$(TEST_TMP)/tmp XDG_RUNTIME_DIR=$(TEST_TMP)/run \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 600 < /dev/null
	@left=$$(find $(TEST_TMP) -mindepth 2 | head -20); \
	if [ -n "$$left" ]; then echo "tests left files behind:"; echo "$$left"; exit 1; fi
	rm -rf $(TEST_TMP)
	FUZZ_BUILD=$(FUZZ_DIR) FUZZ_JOBS=$(JOBS) tests/fuzz/run.sh $(FUZZ_TEST_SECONDS)

fuzz: deps
	FUZZ_BUILD=$(FUZZ_DIR) FUZZ_JOBS=$(FUZZ_JOBS) FUZZ_RUNS=$(FUZZ_RUNS) tests/fuzz/run.sh $(FUZZ_SECONDS)

build: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_TESTS=OFF
	cmake --build $(RUN_DIR) -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target benchmarks
	cmake --build $(BENCH_DIR) --target run-benchmarks

clean:
	rm -rf build

# Builds the flash loader in build/run (configured as `build` does) and
# starts it.
.PHONY: run-flashloader
run-flashloader: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_TESTS=OFF
	cmake --build $(RUN_DIR) -j $(JOBS) --target QM7150Q
	$(RUN_DIR)/bin/QM7150Q
