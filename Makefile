# Two commands for a new machine: `make run` and `make test`.
.PHONY: all deps build run test test-dev test-asan bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset dev
	cmake --build --preset dev
	ln -sfn dev/window/irobunkai build/irobunkai

run: build
	./build/irobunkai

test: test-dev test-asan

test-dev: build
	ctest --preset dev

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: deps
	cmake --preset release
	cmake --build --preset release
	build/release/bench/separation_bench --benchmark_repetitions=5 \
	  --benchmark_out=build/bench.json --benchmark_out_format=json

clean:
	rm -rf build
