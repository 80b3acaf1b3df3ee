# Entry points. `make run` plays the show, `make test` runs every test.
# Both install what is missing, configure and build first.
BUILD   ?= build
ASAN    ?= build-asan
FUZZ    ?= build-fuzz
JOBS    ?= $(shell nproc)
ASSETS  ?= $(BUILD)/assets
WEB     ?= build-web
WEB_PORT ?= 8080

.PHONY: all deps build run install deb test test-fast test-package test-asan test-fuzz fuzz-build fuzz-long golden bench format format-check soak memcheck clean web-deps web serve-web test-web bench-web

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

# Installs the show, its tools, the pack, the desktop entry, icon, metadata and
# manual pages from the Release build: under /usr/local by default,
# `make install PREFIX=/opt/x` elsewhere, DESTDIR=... for a staging folder.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# The Debian package NAME_VERSION_amd64.deb in this folder, made by CPack from
# the Release build (dist/CMakeLists.txt): nothing is compiled again.
deb: build
	cd $(BUILD) && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX=$(CURDIR)

# The whole suite: the format check, the Release build with its installed
# tree and package, the show on the fixed-function layer (whose frames a test
# compares with the desktop's), every test under ASan + UBSan, the fuzz
# targets, then the page in headless Chromium.
# The sanitizer and fuzz builds treat warnings as errors (DEMO_WERROR); the
# Release build, which `make run` shares, does not, so that a newer
# compiler's new warning never stops a user's show.
# The suite runs once, in the sanitizer build: the same code as the Release
# build with the memory and undefined-behaviour checks on. `test-fast` runs
# it on the Release build.
test: format-check test-package build-fixedgl test-asan test-fuzz test-web

# The same suite on the Release build: the quick run while working.
test-fast: build
	cmake --build $(BUILD) -j $(JOBS) --target tests
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# scripts/check-package: a DESTDIR install and its file list, the desktop
# entry and AppStream checks, the installed programs run from outside the
# tree, the .deb's contents and lintian (about half a minute, nothing built).
test-package: build
	scripts/check-package $(BUILD)

test-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_SANITIZE=ON -DDEMO_WERROR=ON
	cmake --build $(ASAN) -j $(JOBS) --target all tests
	ASAN_OPTIONS=detect_leaks=0 ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# libFuzzer with ASan + UBSan (clang), for the JPEG decoder and the MP3
# stream (scripts/fuzz): replays each committed corpus, then fuzzes each for
# $(FUZZ_SECONDS) s, the targets side by side; a crash, a leak or an input
# slower than 1 s fails.
# `make fuzz-long` fuzzes each for $(FUZZ_LONG_SECONDS) s (an hour) and
# replaces the committed corpora by the minimised union of old and new inputs.
FUZZ_SECONDS ?= 30
FUZZ_LONG_SECONDS ?= 3600
FUZZ_TARGETS = jpeg mp3

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_FUZZ=ON -DDEMO_WERROR=ON
	cmake --build $(FUZZ) -j $(JOBS) $(addprefix --target fuzz_,$(FUZZ_TARGETS))

test-fuzz: fuzz-build
	scripts/fuzz $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

fuzz-long: fuzz-build
	scripts/fuzz $(FUZZ) $(FUZZ_LONG_SECONDS) --merge $(FUZZ_TARGETS)

# Rewrites the reference pictures of the golden-frame test (tests/golden/)
# from the current build instead of comparing with them.
golden: build
	cmake --build $(BUILD) -j $(JOBS) --target test_golden
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

# The show in a browser, built by Emscripten into $(WEB)/: index.html,
# page.js, demo.js, demo.wasm, demo.data (the textures, preloaded) and
# musa.mp3, from the desktop build's generated pack ($(ASSETS)). Emscripten's
# optimiser needs Debian's Node.js modules (acorn) on NODE_PATH.
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs

web-deps:
	@scripts/install-deps web

web: web-deps build
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB) -DCMAKE_BUILD_TYPE=Release -DDEMO_WEB_PACK=$(abspath $(ASSETS)) >/dev/null
	$(EMSCRIPTEN_ENV) cmake --build $(WEB) -j $(JOBS)

# Serves $(WEB)/ on 127.0.0.1:$(WEB_PORT) and prints the address.
serve-web: web
	node web/server.js $(WEB) $(WEB_PORT)

# web/test/run.js: the page in headless Chromium: the start page, ?at=MS
# frames against the desktop capture's, the silent show, and the show in real
# time to its end (about three minutes, most of it the real-time run).
test-web: web
	node web/test/run.js $(WEB) $(BUILD)

# web/bench.js: the frame time of each scene in headless Chromium at
# 1024x768 (run bench_frames beside it for the desktop's).
bench-web: web
	node web/bench.js $(WEB) $(BUILD)

# --- The show on the fixed-function layer over OpenGL ES 2.0 ----------------
# The show, capture, soak and bench_frames built with DEMO_GL=fixed
# (platform/fixedgl/, as the browser draws) into $(FIXEDGL)/, which finds
# the desktop build's pack as its own. The default build's test_fixedgl
# compares their frames with the desktop's.
FIXEDGL ?= build-fixedgl
.PHONY: build-fixedgl
build-fixedgl: build
	cmake -S . -B $(FIXEDGL) -DCMAKE_BUILD_TYPE=Release -DDEMO_GL=fixed -DDEMO_TESTS=OFF -DDEMO_WERROR=ON
	cmake --build $(FIXEDGL) -j $(JOBS) --target demo capture soak bench_frames
	ln -sfn $(abspath $(ASSETS)) $(FIXEDGL)/assets
# --- end of the fixed-function layer's build -----------------------------------

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ) $(WEB) $(FIXEDGL)
