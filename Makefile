# The README's two commands: `make run` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: run test deps build-release build-dev windows clean

deps:
	@scripts/install-deps

build-release: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

build-dev: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

# With a display: the demo. Without one: a few seconds of the scene captured
# headless, written as pictures.
run: build-release
	@scripts/run-main build/release

test: build-dev
	@ctest --preset dev -j $(JOBS)

windows:
	@scripts/install-deps --windows
	@scripts/build-windows

clean:
	rm -rf build
