# Entry points for users and CI. `make test` installs what is missing, builds everything, runs
# every test, then repeats the core tests under AddressSanitizer + UndefinedBehaviorSanitizer and
# the run driver's, the comparison facade's and the row readers' tests under ThreadSanitizer.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
CMAKE_FLAGS ?=
# ccache keys on paths relative to the checkout, so a fresh clone elsewhere reuses the cache.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1

.PHONY: all bootstrap configure build test test-plain test-asan test-tsan demo demo-gui screenshots \
	bench clean format fuzz fuzz-build fuzz-smoke

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja: | bootstrap
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: bootstrap configure
	cmake --build $(BUILD) -j $(JOBS)

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

build-asan/build.ninja: | bootstrap
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=address,undefined \
	  -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"

test-asan: bootstrap build-asan/build.ninja
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 900 -E '^e2e\.'

build-tsan/build.ninja: | bootstrap
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=thread \
	  -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"

test-tsan: bootstrap build-tsan/build.ninja
	cmake --build build-tsan -j $(JOBS) --target velmora_run_tests velmora_comparison_tests \
	  velmora_data_tests
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) --timeout 900 \
	  -R '^velmora_(run|comparison)_tests\.|^velmora_data_tests\.(ReadAhead|MergeRows)'

# Fuzzing (libFuzzer with clang) in its own build directory. `make fuzz` runs each target for
# FUZZ_SECONDS on a scratch copy of its corpus (new inputs stay out of the repository; a crash
# leaves its input in build-fuzz/crashes). `make test` runs each for a few seconds.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS = config_ini legacy_stream connection_text cli_args

build-fuzz/build.ninja: | bootstrap
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELMORA_BUILD_FUZZ=ON -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_GUI=OFF -DVELMORA_WERROR=ON

fuzz-build: bootstrap build-fuzz/build.ninja
	cmake --build build-fuzz -j $(JOBS) --target fuzz_targets

fuzz: fuzz-build
	@mkdir -p build-fuzz/crashes
	@for t in $(FUZZ_TARGETS); do \
	  rm -rf build-fuzz/scratch/$$t && mkdir -p build-fuzz/scratch/$$t && \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s"; \
	  build-fuzz/fuzz/$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	    -artifact_prefix=build-fuzz/crashes/$$t- -print_final_stats=1 \
	    build-fuzz/scratch/$$t fuzz/corpus/$$t > build-fuzz/$$t.log 2>&1; status=$$?; \
	  grep -E '^(Done|stat::number_of_executed_runs)' build-fuzz/$$t.log; \
	  if [ $$status -ne 0 ]; then cat build-fuzz/$$t.log; exit 1; fi; \
	done

fuzz-smoke:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=3

test: test-plain test-asan test-tsan fuzz-smoke

demo: build
	$(BUILD)/src/cli/velmora-cli demo --work $(BUILD)/demo $(DEMO_FLAGS)

# The desktop application on the demo databases (needs a display; `QT_QPA_PLATFORM=offscreen`
# with `--screenshot FILE` works without one).
demo-gui: build
	$(BUILD)/src/ui/velmora --demo --demo-work $(BUILD)/demo $(DEMO_FLAGS)

# Pictures of the main window mid-run and after the run, of each dialog and of the print preview,
# taken on a virtual X display (Xvfb) with a settings folder of their own.
screenshots: build
	rm -rf $(BUILD)/screenshots && mkdir -p $(BUILD)/screenshots/config
	XDG_CONFIG_HOME=$(CURDIR)/$(BUILD)/screenshots/config QT_QPA_PLATFORM=xcb \
	  xvfb-run -a -s "-screen 0 1280x800x24" \
	  $(BUILD)/src/ui/velmora --demo --demo-work $(BUILD)/demo --screenshots $(BUILD)/screenshots
	@ls $(BUILD)/screenshots/*.png

bench: bootstrap
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/*_bench; do [ -x "$$b" ] && "$$b" || exit 1; done

format:
	@git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan build-tsan build-bench build-fuzz
