# Entry points. `make run` plays the show, `make test` runs every test.
# Both install what is missing, configure and build first.
BUILD   ?= build
ASAN    ?= build-asan
FUZZ    ?= build-fuzz
JOBS    ?= $(shell nproc)
ASSETS  ?= $(BUILD)/assets

.PHONY: all deps build run test test-fast test-asan test-fuzz golden bench format format-check soak memcheck clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Plays the show from the asset folder (the generated pack by default;
# `make run ASSETS=/path/to/folder` plays another one).
run: build
	cd $(ASSETS) && $(abspath $(BUILD))/demo

# The whole suite: the format check, the Release build, the same suite under
# ASan + UBSan, then the fuzz targets. All three builds treat warnings as
# errors (DEMO_WERROR, on by default).
test: format-check test-fast test-asan test-fuzz

test-fast: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_SANITIZE=ON
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# libFuzzer with ASan + UBSan (clang), for the JPEG decoder and the MP3
# stream: replays each committed corpus, then fuzzes each for $(FUZZ_SECONDS) s
# (hangs over 1 s count as failures), new inputs going to $(FUZZ)/corpus-*.
FUZZ_SECONDS ?= 30
FUZZ_TARGETS = jpeg mp3

test-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_FUZZ=ON
	cmake --build $(FUZZ) -j $(JOBS) $(addprefix --target fuzz_,$(FUZZ_TARGETS))
	set -e; for t in $(FUZZ_TARGETS); do \
	  $(FUZZ)/fuzz_$$t -runs=0 -timeout=1 tests/fuzz/corpus/$$t; \
	  mkdir -p $(FUZZ)/corpus-$$t; \
	  $(FUZZ)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=1 -rss_limit_mb=4096 \
	    $(FUZZ)/corpus-$$t tests/fuzz/corpus/$$t; \
	done

# Rewrites the reference pictures of the golden-frame test (tests/golden/)
# from the current build instead of comparing with them.
golden: build
	DEMO_GOLDEN_WRITE=1 $(BUILD)/test_golden

# Runs every benchmark, even after one fails its own check (a bench exits
# non-zero then), and fails naming those that did.
bench: build
	@failed=""; \
	for b in $(BUILD)/bench_*; do \
	  [ -x "$$b" ] || continue; \
	  "$$b" || failed="$$failed $${b##*/}"; \
	done; \
	if [ -n "$$failed" ]; then echo "bench: failed:$$failed" >&2; exit 1; fi

# clang-format (14) over every tracked .cpp and .h file, by .clang-format:
# `format` rewrites them in place, `format-check` lists those it would change
# and fails.
format: deps
	scripts/check-format --fix

format-check: deps
	scripts/check-format

# The long checks, run by hand: the whole-show soak (a few minutes) and
# valgrind's memcheck over the first 5 s of the show (about three minutes).
soak: build
	scripts/soak $(BUILD) $(ASSETS)

memcheck: build
	scripts/memcheck $(BUILD) $(ASSETS)

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
