# Thin wrapper over CMake. `make run` and `make test` work on a fresh Debian machine.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
BUILD_BENCH ?= build-bench
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
EXAMPLE    := $(BUILD)/Beispiel.ERG

.PHONY: all deps build run test test-asan bench fuzz package clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The desktop program on the example competition; without a display the example's
# evaluation in the terminal and its result list as PDF.
run: build
	@test -f $(EXAMPLE) || $(BUILD)/velmora-cli generate $(EXAMPLE) --participants 120 --seed 1
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	  exec $(BUILD)/velmora $(EXAMPLE); \
	else \
	  echo "No display (DISPLAY/WAYLAND_DISPLAY unset): the desktop program $(BUILD)/velmora cannot open a window."; \
	  echo "The example competition $(EXAMPLE) as the program evaluates it:"; \
	  $(BUILD)/velmora-cli info $(EXAMPLE); \
	  $(BUILD)/velmora-cli print $(EXAMPLE) $(BUILD)/Beispiel-Ergebnisliste.pdf --list result && \
	  echo "Result list written to $(BUILD)/Beispiel-Ergebnisliste.pdf"; \
	fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The Debian package $(BUILD)/velmora_<version>_amd64.deb (CPack), checked by lintian
# where it is installed.
package: build
	rm -f $(BUILD)/velmora_*_amd64.deb
	cmake --build $(BUILD) --target package
	@if command -v lintian >/dev/null 2>&1; then \
	  echo "lintian $(BUILD)/velmora_*_amd64.deb"; \
	  lintian --fail-on error $(BUILD)/velmora_*_amd64.deb; \
	fi

test-asan: deps
	cmake -S . -B $(BUILD_ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS over a copy of its seed corpus.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF -DVELMORA_UI=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	scripts/run-fuzz $(BUILD_FUZZ) $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	$(BUILD_BENCH)/velmora_bench
	@for b in $(BUILD_BENCH)/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ) $(BUILD_BENCH)
