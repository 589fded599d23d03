# Velomast: `make run` builds and starts the editor, `make test` builds with
# sanitizers and runs every test. Both install missing Debian packages first.
JOBS ?= $(shell nproc)
# The model opened by `make run`; `make run ARGS=` starts with an empty model.
ARGS ?= examples/dipole.maa

.PHONY: all deps run build test bench fuzz install package clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

run: build
	./build/release/src/app/velomast $(ARGS)

test: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: build
	./build/release/bench/velomast-bench $(BENCH_ARGS)
	QT_QPA_PLATFORM=offscreen ./build/release/bench/velomast-view-bench $(BENCH_ARGS)
	QT_QPA_PLATFORM=offscreen ./build/release/bench/velomast-ui-bench $(BENCH_ARGS)

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target read_model_fuzzer

# `make install PREFIX=/opt/velomast` (default /usr/local; DESTDIR is honoured too).
PREFIX ?= /usr/local
install: build
	cmake --install build/release --prefix $(PREFIX)

# The Debian package build/package/velomast_<version>_<arch>.deb.
package: build
	cd build/release && cpack -B ../package
	@ls build/package/*.deb

clean:
	rm -rf build
