# The README's two commands: `make run` and `make test` (each after scripts/install-deps, which
# also installs make itself on a bare machine), and a few more for whoever asks.
JOBS ?= $(shell nproc)
# What `make run` runs: the two programs, the headless capture tool and the data (Default.mtl and
# Vellum.3df, which the converter tex3df makes). Tests and benchmarks are not built for it.
RUN_TARGETS := saver demo vellumtide-capture vellumtide_data

.PHONY: run test bench deps build-release build-dev windows clean

deps:
	@scripts/install-deps

build-release: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS) $(addprefix --target ,$(RUN_TARGETS))

build-dev: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

# With a display: the demo. Without one: a few seconds of the scene captured
# headless, written as pictures.
run: build-release
	@scripts/run-main build/release

test: build-dev
	@ctest --preset dev -j $(JOBS)

# Everything of the release configuration, the benchmarks in bench/ included.
bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

windows:
	@scripts/install-deps --windows
	@scripts/build-windows

clean:
	rm -rf build
