# Front door: every target installs what is missing, configures and builds first.
#   make run     build and start Captivo
#   make test    build and run the whole test suite (SANITIZE=1: under ASan + UBSan)
#   make bench   build and run the benchmarks
#   make fuzz    build the libFuzzer targets with clang and run each for FUZZ_SECONDS
#                (make test replays their kept inputs and a fixed-seed run instead)

SANITIZE ?= 0
FUZZ_SECONDS ?= 600
REPLAY_RUNS ?= 20000

ifeq ($(SANITIZE),1)
BUILD_DIR ?= build-sanitize
CMAKE_FLAGS += -DCAPTIVO_SANITIZE=ON -DCAPTIVO_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export LSAN_OPTIONS := suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1
else
BUILD_DIR ?= build
CMAKE_FLAGS += -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif
FUZZ_DIR ?= build-fuzz
# CI builds stop at the first compiler warning.
ifneq ($(CI),)
CMAKE_FLAGS += -DCAPTIVO_WERROR=ON
endif

.PHONY: all deps configure build run test bench fuzz fuzz-build fuzz-replay package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR)

# The first run plays the demo movie with its subtitles; later runs start empty.
run: build
	@if [ ! -e $(BUILD_DIR)/demo/demo.avi ]; then \
	  scripts/make-demo $(BUILD_DIR)/demo && $(BUILD_DIR)/src/captivo $(BUILD_DIR)/demo/demo.avi; \
	else $(BUILD_DIR)/src/captivo; fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j2
	@if [ "$(SANITIZE)" = 1 ]; then :; \
	 elif command -v clang++ > /dev/null; then $(MAKE) --no-print-directory fuzz-replay; \
	 else echo "clang not found: fuzz replay skipped"; fi

bench: build
	$(BUILD_DIR)/bench/captivo_bench
	$(BUILD_DIR)/bench/captivo_tick_bench
	bench/reader_memory.py $(BUILD_DIR)
	$(BUILD_DIR)/bench/captivo_vobsub_load_bench $(BUILD_DIR)/vobsub-bench-sets
	scripts/make-test-media $(BUILD_DIR)/media
	bench/track_reading.py $(BUILD_DIR)
	bench/playback_cpu.py $(BUILD_DIR)
	bench/peers.py $(BUILD_DIR)
	bench/memory_breakdown.py $(BUILD_DIR)
	bench/sync/run-sync-bench $(BUILD_DIR)
	bench/sync_stall.py $(BUILD_DIR)

fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCAPTIVO_FUZZ=ON -DCAPTIVO_BENCH=OFF \
	  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" > /dev/null
	@cmake --build $(FUZZ_DIR) --target fuzz_text_loader fuzz_vobsub fuzz_settings fuzz_tracks \
	  fuzz_matroska_blocks

# Open-ended fuzzing: each fuzzer starts from the seeds kept in fuzz/corpus and the
# regression inputs, and writes what it finds to a working copy; a crash input is left in
# fuzz/crashes, to be kept in fuzz/regressions/ with its fix.
define run-fuzzer
	@mkdir -p fuzz/corpus-work/$(1) fuzz/crashes
	$(FUZZ_DIR)/fuzz/$(1) -max_total_time=$(2) -timeout=10 -rss_limit_mb=4096 \
	  -artifact_prefix=fuzz/crashes/ fuzz/corpus-work/$(1) fuzz/corpus/$(3) fuzz/regressions/$(3)
endef

fuzz: fuzz-build
	$(call run-fuzzer,fuzz_text_loader,$(FUZZ_SECONDS),text)
	$(call run-fuzzer,fuzz_vobsub,$(FUZZ_SECONDS),vobsub)
	$(call run-fuzzer,fuzz_settings,$(FUZZ_SECONDS),settings)
	$(call run-fuzzer,fuzz_tracks,$(FUZZ_SECONDS),tracks)
	$(call run-fuzzer,fuzz_matroska_blocks,$(FUZZ_SECONDS),matroska_blocks)

# What make test runs, the same on every run: every kept input once, then a fixed number
# of mutations from a fixed seed, into a scratch folder so that the kept corpus stays as
# it is.
define replay-fuzzer
	$(FUZZ_DIR)/fuzz/$(1) -runs=0 -timeout=10 -rss_limit_mb=4096 fuzz/corpus/$(2) fuzz/regressions/$(2)
	@rm -rf $(FUZZ_DIR)/replay-work/$(1) && mkdir -p $(FUZZ_DIR)/replay-work/$(1)
	$(FUZZ_DIR)/fuzz/$(1) -seed=1 -runs=$(REPLAY_RUNS) -timeout=10 -rss_limit_mb=4096 \
	  -artifact_prefix=$(FUZZ_DIR)/replay-work/ $(FUZZ_DIR)/replay-work/$(1) fuzz/corpus/$(2) \
	  fuzz/regressions/$(2)
endef

fuzz-replay: fuzz-build
	$(call replay-fuzzer,fuzz_text_loader,text)
	$(call replay-fuzzer,fuzz_vobsub,vobsub)
	$(call replay-fuzzer,fuzz_settings,settings)
	$(call replay-fuzzer,fuzz_tracks,tracks)
	$(call replay-fuzzer,fuzz_matroska_blocks,matroska_blocks)

# A Debian package of the program: apt-get install ./build/captivo_*.deb
package: build
	cd $(BUILD_DIR) && cpack -G DEB

clean:
	rm -rf build build-sanitize build-fuzz fuzz/corpus-work
