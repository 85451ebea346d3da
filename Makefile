# SPDX-License-Identifier: BSD-3-Clause
# Two entry points: `make demo` builds everything and runs the demo host against its embedded
# backup service; `make test` builds everything and runs the whole test suite.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
SHELL := /bin/bash

.PHONY: all deps configure build demo test test-asan bench fuzz memcheck lint format format-check \
	package package-deps clean

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

# Every benchmark program in turn, the camera part of a load in instructions (callgrind), the
# end-to-end rows (whole processes in pairs), then the goal table from the medians of their
# repetitions. Raw results: $(BUILD_DIR)-bench/bench/<program>.json. Repetitions run in random
# order, so that a change of load on the machine does not fall on one side of a ratio only.
BENCH_PROGRAMS = bench_ratios bench_plugin_load bench_service_update
BENCH_REPETITIONS ?= 9
BENCH_PAIRS ?= 9
bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DSCHEDULE_BACKUP_BUILD_TESTS=OFF -DSCHEDULE_BACKUP_BUILD_BENCHMARKS=ON
	cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	set -e; for b in $(BENCH_PROGRAMS); do \
	    $(BUILD_DIR)-bench/bench/$$b --benchmark_repetitions=$(BENCH_REPETITIONS) \
	        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
	        --benchmark_out=$(BUILD_DIR)-bench/bench/$$b.json --benchmark_out_format=json; \
	done
	$(BUILD_DIR)-bench/bench/count_instructions.sh $(BUILD_DIR)-bench/bench \
	    $(BUILD_DIR)-bench/bench/instructions.json
	$(BUILD_DIR)-bench/bench/bench_processes $(BUILD_DIR)-bench/bin $(BUILD_DIR)-bench/bench \
	    $(BUILD_DIR)-bench/bench/processes.json $(BENCH_PAIRS)
	$(BUILD_DIR)-bench/bench/bench_summary $(BENCH_PROGRAMS:%=$(BUILD_DIR)-bench/bench/%.json) \
	    $(BUILD_DIR)-bench/bench/instructions.json $(BUILD_DIR)-bench/bench/processes.json

memcheck: build
	cd $(BUILD_DIR) && ctest -L memcheck --output-on-failure

# qmllint prints findings without failing, so any output counts as a failure here.
lint: configure
	@out=$$(cmake --build $(BUILD_DIR) --target all_qmllint 2>&1 | grep -E '^(Warning|Error)' || true); \
	if [ -n "$$out" ]; then echo "$$out"; exit 1; fi; echo "qmllint: no findings"

format: deps
	./scripts/check-format.sh --fix

# Formatting and the licence line in every file; both report before either fails.
format-check: deps
	@status=0; ./scripts/check-format.sh || status=1; ./scripts/check-spdx.sh || status=1; \
	exit $$status

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-asan $(BUILD_DIR)-fuzz $(BUILD_DIR)-package

# The Debian packages from a Release build for /usr in $(BUILD_DIR)-package, built with Debian's
# hardening flags (all of them, so also immediate binding), then lintian on both; an error from
# lintian fails the target.
BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags
PACKAGE_FLAGS = $(shell $(BUILDFLAGS) --get CPPFLAGS) $(shell $(BUILDFLAGS) --get CXXFLAGS)
PACKAGE_LDFLAGS = $(shell $(BUILDFLAGS) --get LDFLAGS)
# Its own target, so that dpkg-buildflags is there before the package recipe is expanded.
package-deps:
	./scripts/install-deps.sh --package

package: package-deps
	cmake -S . -B $(BUILD_DIR)-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_INSTALL_PREFIX=/usr -DSCHEDULE_BACKUP_BUILD_TESTS=OFF \
	    -DCMAKE_CXX_FLAGS="$(PACKAGE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(PACKAGE_LDFLAGS)" \
	    -DCMAKE_SHARED_LINKER_FLAGS="$(PACKAGE_LDFLAGS)" \
	    -DCMAKE_MODULE_LINKER_FLAGS="$(PACKAGE_LDFLAGS)"
	cmake --build $(BUILD_DIR)-package -j $(JOBS)
	rm -f $(BUILD_DIR)-package/*.deb
	cd $(BUILD_DIR)-package && cpack -G DEB
	lintian $(BUILD_DIR)-package/*.deb

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer in its own folder.
# valgrind cannot run sanitized programs, so the memcheck tests are left to the plain build.
test-asan: deps
	cmake -S . -B $(BUILD_DIR)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSCHEDULE_BACKUP_SANITIZE=ON
	cmake --build $(BUILD_DIR)-asan -j $(JOBS)
	cd $(BUILD_DIR)-asan && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp:print_suppressions=0 \
	    ctest --output-on-failure -j $(JOBS) -LE memcheck

# Every fuzz target for FUZZ_SECONDS seconds, from a copy of its corpus. A crash, a leak, a
# sanitizer report or a failed round trip stops the run and fails the target. The targets are
# those fuzz/CMakeLists.txt lists; configuring writes them, with their corpus folders, to
# fuzz/targets.txt.
FUZZ_SECONDS ?= 60
fuzz:
	./scripts/install-deps.sh --fuzz
	CXX=clang++ cmake -S . -B $(BUILD_DIR)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DSCHEDULE_BACKUP_BUILD_TESTS=OFF -DSCHEDULE_BACKUP_BUILD_FUZZERS=ON
	cmake --build $(BUILD_DIR)-fuzz -j $(JOBS) --target fuzzers
	set -e; while read -r t source; do \
	    corpus=$(BUILD_DIR)-fuzz/corpus/$$t; mkdir -p $$corpus; \
	    cp -n $$source/* $$corpus/ 2>/dev/null || true; \
	    echo "== $$t for $(FUZZ_SECONDS) s"; \
	    ZELT_LOG_LEVEL=0 $(BUILD_DIR)-fuzz/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) \
	        -max_len=1048576 -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
	        -artifact_prefix=$(BUILD_DIR)-fuzz/ $$corpus 2>&1 </dev/null | tail -n 12; \
	    test $${PIPESTATUS[0]} -eq 0; \
	done < $(BUILD_DIR)-fuzz/fuzz/targets.txt
