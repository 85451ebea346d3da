# Two entry points: `make demo` builds everything and runs the demo host against its embedded
# backup service; `make test` builds everything and runs the whole test suite.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
DEMO_DATA ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build demo test bench memcheck clean format

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	./scripts/demo.sh $(BUILD_DIR)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DSCHEDULE_BACKUP_BUILD_TESTS=OFF -DSCHEDULE_BACKUP_BUILD_BENCHMARKS=ON
	cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	for b in $(BUILD_DIR)-bench/bin/bench_*; do $$b; done

memcheck: build
	cd $(BUILD_DIR) && ctest -L memcheck --output-on-failure

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
