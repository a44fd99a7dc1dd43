# Two commands for a new machine: `make run` and `make test`.
.PHONY: all deps build dev run test test-dev test-asan test-fuzz fuzz bench package clean

# Seconds of fuzzing: a short bounded run in `make test`, longer with `make fuzz`.
# `make test` uses a fixed seed so that its run is repeatable.
FUZZ_SECONDS ?= 60
FUZZ_SEED ?= 1

all: build

deps:
	@scripts/install-deps.sh

# The program people run: optimised, with debug information for a debugger or perf.
build: deps
	cmake --preset run
	cmake --build --preset run
	ln -sfn run/window/irobunkai build/irobunkai

run: build
	./build/irobunkai

test: test-dev test-fuzz test-asan

# Tests run on a debug build of their own; build/irobunkai stays the optimised program.
dev: deps
	cmake --preset dev
	cmake --build --preset dev
	[ -e build/irobunkai ] || ln -sfn dev/window/irobunkai build/irobunkai

test-dev: dev
	ctest --preset dev

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

fuzz: FUZZ_SECONDS = 600
fuzz: FUZZ_SEED = 0
fuzz: test-fuzz

# Seeded with the hostile-picture corpus that the window tests make.
test-fuzz: dev
	cmake --preset fuzz
	cmake --build --preset fuzz
	rm -rf build/fuzz/seeds
	IROBUNKAI_CORPUS_OUT=build/fuzz/seeds QT_QPA_PLATFORM=offscreen \
	  build/dev/tests/hostile_picture_test >/dev/null 2>&1
	FUZZ_SEED=$(FUZZ_SEED) tests/fuzz/run_fuzzer.sh build/fuzz/tests/fuzz/picture_fuzzer \
	  $(FUZZ_SECONDS) . build/fuzz/seeds

# The open benchmarks interleave their repetitions, so that a change in the machine's load
# falls on both sides of each ratio that bench/ratios.py prints.
bench: deps
	cmake --preset release
	cmake --build --preset release
	build/release/bench/separation_bench --benchmark_repetitions=5 \
	  --benchmark_out=build/bench.json --benchmark_out_format=json
	build/release/bench/large_picture_bench \
	  --benchmark_out=build/bench-memory.json --benchmark_out_format=json
	build/release/bench/open_bench --benchmark_repetitions=5 \
	  --benchmark_enable_random_interleaving=true \
	  --benchmark_out=build/bench-open.json --benchmark_out_format=json
	build/release/bench/zoom_frame_bench --benchmark_repetitions=5 \
	  --benchmark_out=build/bench-zoom.json --benchmark_out_format=json
	build/release/bench/pyramid_bench --benchmark_repetitions=5 \
	  --benchmark_out=build/bench-pyramid.json --benchmark_out_format=json
	build/release/bench/model_bench --benchmark_repetitions=5 \
	  --benchmark_enable_random_interleaving=true \
	  --benchmark_out=build/bench-models.json --benchmark_out_format=json
	bench/ratios.py build/bench-open.json build/bench.json build/bench-zoom.json \
	  build/bench-models.json

package: deps
	cmake --preset release
	cmake --build --preset release
	cd build/release && cpack -G DEB

clean:
	rm -rf build
