# Entry points; the README names them.
BUILD ?= build
JOBS ?= 2

.PHONY: deps build test fuzz run bench package format clean

deps:
	./scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD)/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)/release

# The tests' build: warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	cmake -S . -B $(BUILD)/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNORLINK_SANITIZE=ON
	cmake --build $(BUILD)/test
	ctest --test-dir $(BUILD)/test --output-on-failure -j $(JOBS)

# Long libFuzzer runs, one target after the other, each until FUZZ_RUNS inputs or FUZZ_SECONDS.
FUZZ_RUNS ?= 10000000
FUZZ_SECONDS ?= 1800
# Processes per target: every core by default.
FUZZ_JOBS ?= $(shell nproc)
fuzz: deps
	./scripts/run-fuzz.sh build . $(BUILD)/fuzz
	for corpus in tests/fuzz/*/corpus; do \
		./scripts/run-fuzz.sh run $(BUILD)/fuzz $$(basename $$(dirname $$corpus)) $$corpus \
			$(FUZZ_RUNS) $(FUZZ_SECONDS) $(FUZZ_JOBS) || exit 1; \
	done

# The window against the virtual communicator on a pseudo-terminal.
run:
	./scripts/run-with-sim.sh

# The read benchmark against the simulator at 4800 Bd (several minutes): figures, not a test.
bench: deps
	cmake -S . -B $(BUILD)/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)/release --target norlink-bench
	$(BUILD)/release/bin/norlink-bench $(BENCH_ARGS)

# The Debian package from the release tree (build/release/package/), checked by lintian and
# desktop-file-validate.
package: deps
	cmake -S . -B $(BUILD)/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)/release --target package_contents
	rm -f $(BUILD)/release/package/*.deb
	cd $(BUILD)/release && cpack -G DEB
	./scripts/check-package.sh $(BUILD)/release/package/*.deb

format:
	git ls-files '*.cpp' '*.hpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
