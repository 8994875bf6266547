# Starlane: set up, build, play and test. Each target installs what it needs with apt-get
# (through sudo when not root), so the commands work on a fresh Debian 12 machine.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

BUILD_PACKAGES := cmake make g++ pkg-config libsdl2-dev libgtest-dev libbenchmark-dev libstb-dev icoutils
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64 libstb-dev
WINE_PACKAGES := wine wine64 xvfb xdotool imagemagick python3 python3-pil bc procps
FUZZ_PACKAGES := cmake make clang libclang-rt-14-dev libstb-dev
XVFB_PACKAGES := xvfb xdotool
WEB_PACKAGES := cmake make emscripten node-acorn libstb-dev
WEB_TEST_PACKAGES := chromium
# Debian's packaging tools, and what checks a package and its metadata.
DEB_PACKAGES := debhelper dpkg-dev fakeroot lintian appstream desktop-file-utils man-db

# The content folder packed into the web build: `make web DATA=path/to/mod`.
DATA ?= data
WEB_PORT ?= 8080
# Emscripten's optimiser needs acorn: Debian's node-acorn, found whichever node is on the PATH.
WEB_ENV = NODE_PATH=$$(dirname $$(dpkg -L node-acorn | grep -m1 '/acorn$$'))

# Seconds each fuzz target runs for in `make fuzz`.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := bitmap palette graphic master_graphics enemy master_enemies deployment

# npm, which some node builds bring and Debian packages apart.
need_npm = @command -v npm >/dev/null 2>&1 || { $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq npm; }

define install
	@missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
endef

.PHONY: deps build play test asan golden format format-check tidy windows wine-test bench fuzz dist clean web web-serve web-test web-test-deps bench-web install install-files uninstall deb xvfb-test

deps:
	$(call install,$(BUILD_PACKAGES))

build: deps
	cmake --preset default
	cmake --build build -j$(JOBS)

# Runs the game with the content folder as its working directory. The game says nothing on
# the terminal; when its start-up fails (exit code 1) this launcher says so in one line.
play: build
	@cd data && ../build/starlane; code=$$?; \
	if [ $$code = 1 ]; then \
	  echo "starlane: start-up failed: $$(head -n 1 Error.txt 2>/dev/null); run build/starlane-check data" >&2; \
	fi; exit $$code

test: build
	ctest --test-dir build --output-on-failure -j$(JOBS)

# Writes the golden run's expected figures and pictures anew, from the game as it is now. Only
# on purpose: when a change is meant to alter the game, and the commit says why.
golden: build
	bash tests/golden/golden.sh build/starlane-replay tests/shipped --update

# The house style (.clang-format) over every C and C++ source; format-check only reports.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' '*.c' 2>/dev/null)
format:
	$(call install,clang-format)
	clang-format -i $(FORMAT_FILES)

format-check:
	$(call install,clang-format)
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "format-check: $(words $(FORMAT_FILES)) files in the house style"

# clang-tidy's bug-finding checks (.clang-tidy) over the game, the stand-in, record/ and the tools.
TIDY_FILES = $(shell git ls-files 'shell/*.cpp' 'display/*.cpp' 'graphics/*.cpp' 'input/*.cpp' \
	'bitmap/*.cpp' 'content/*.cpp' 'game/*.cpp' 'record/*.cpp' 'tools/*.cpp' 'platform/*.cpp' \
	'programs/*.cpp' 2>/dev/null | grep -v -E 'platform/backend_web.cpp|programs/studio_tools.cpp|programs/watch_web.cpp')
tidy: deps
	$(call install,clang-tidy)
	cmake --preset default -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	@if clang-tidy -p build --quiet $(TIDY_FILES) >build/tidy.log 2>&1; then \
	  echo "tidy: $(words $(TIDY_FILES)) files clean"; \
	else grep -v -E "warnings? (and [0-9]+ errors? )?generated" build/tidy.log; exit 1; fi

asan: deps
	cmake --preset asan
	cmake --build build-asan -j$(JOBS)
	ctest --test-dir build-asan --output-on-failure -j$(JOBS)

windows:
	$(call install,$(WINDOWS_PACKAGES))
	cmake --preset windows
	cmake --build build-windows -j$(JOBS)

# The Windows build run for real on Wine's DirectDraw and DirectInput, under its own Xvfb.
wine-test: windows build
	$(call install,$(WINE_PACKAGES))
	bash tests/windows/smoke.sh

# One table: the game's work on the headless backend, then presenting on SDL2.
bench: build
	@./build/starlane-bench
	@./build/starlane-bench-present --no-header

# Each content reader under libFuzzer with AddressSanitizer and UBSan, one target after the
# other, FUZZ_SECONDS each. New inputs go to build-fuzz/corpus/<target> (the seeds in
# tests/fuzz/corpus are only read); a crash is kept in build-fuzz/artifacts/<target> and makes
# the run fail once every target has had its turn.
fuzz:
	$(call install,$(FUZZ_PACKAGES))
	cmake -S tests/fuzz -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j$(JOBS)
	@failed=""; for t in $(FUZZ_TARGETS); do \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  mkdir -p build-fuzz/corpus/$$t build-fuzz/artifacts/$$t; \
	  ./build-fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -dict=$(CURDIR)/tests/fuzz/content.dict \
	    -artifact_prefix=$(CURDIR)/build-fuzz/artifacts/$$t/ \
	    $(CURDIR)/build-fuzz/corpus/$$t $(CURDIR)/tests/fuzz/corpus/$$t \
	    >build-fuzz/fuzz_$$t.log 2>&1 || failed="$$failed $$t"; \
	  grep -E "^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|^SUMMARY" build-fuzz/fuzz_$$t.log; \
	done; \
	if [ -n "$$failed" ]; then \
	  echo "Fuzzing found crashes in:$$failed (logs: build-fuzz/fuzz_<target>.log)"; exit 1; \
	fi

# Release archives in dist/: a Linux tarball and a Windows zip, each with the content, and
# the web build's folder as a zip for any static web host.
dist: build windows web
	$(call install,zip)
	bash packaging/dist.sh

# The browser version in build-web/ (page, script, wasm, content; the CMake tree and the
# replay tool for node under build-web/cmake/).
web:
	$(call install,$(WEB_PACKAGES))
	$(need_npm)
	@# The studio's editor, zip and bundler packages, as the lockfile pins them.
	@[ web/studio/node_modules/.package-lock.json -nt web/studio/package-lock.json ] || \
	  (cd web/studio && npm ci --no-audit --no-fund --silent)
	$(WEB_ENV) emcmake cmake -S . -B build-web/cmake -DCMAKE_BUILD_TYPE=Release \
	  -DSTARLANE_WEB_SITE=$(CURDIR)/build-web -DSTARLANE_DATA=$(abspath $(DATA))
	$(WEB_ENV) cmake --build build-web/cmake -j$(JOBS)

web-serve: web
	@echo "Starlane Studio: http://127.0.0.1:$(WEB_PORT)/studio.html"
	node web/serve.js build-web $(WEB_PORT)

# Chromium from Debian, and puppeteer-core (npm) to drive it; npm comes with some node builds.
web-test-deps:
	$(call install,$(WEB_TEST_PACKAGES))
	$(need_npm)
	cd tests/web && npm ci --no-audit --no-fund --silent

# The local server under bad requests and the studio's zip reader on zips that lie, the page
# played in headless Chromium, the replay tool for the web under node, the studio's tools
# module under node against the native checker, then the studio in Chromium, then mod and
# game links.
web-test: web web-test-deps build
	node --test tests/web/serve.test.js tests/web/zip.test.js
	node tests/web/browser.js build-web $(abspath $(DATA))/palette.pal build-web/shots
	bash tests/web/replay_node.sh build-web/cmake/starlane-replay.js $(abspath $(DATA))
	bash tests/web/tools_table.sh build build-web $(abspath $(DATA))
	node tests/web/studio.js build-web build $(abspath $(DATA))
	node tests/web/links.js build-web build $(abspath $(DATA))

# The web figures: wasm against native work per frame, the browser's present, the download.
bench-web: build web web-test-deps
	@bash bench/web.sh

# A real game on a private Xvfb display, keys held by xdotool, recorded with STARLANE_RECORD
# and replayed (also part of `make test` where Xvfb and xdotool are installed).
xvfb-test: build
	$(call install,$(XVFB_PACKAGES))
	bash tests/xvfb/record.sh $(CURDIR)/build

# Installs Starlane like a Linux game under PREFIX (in your home by default; for everyone:
# sudo make install PREFIX=/usr/local): the game with its `starlane` launcher, the tools, the
# content, a desktop entry, the icon, the metainfo for software centres and the man pages,
# each file noted in PREFIX/lib/starlane/install_manifest.txt. `make uninstall PREFIX=...`
# takes exactly those files away again.
PREFIX ?= $(if $(HOME),$(HOME)/.local)
BUILD_DIR ?= build

install: build
	@$(MAKE) --no-print-directory install-files

# PREFIX, DESTDIR and BUILD_DIR reach the script through its environment, never through the
# recipe's text, so that no path given can be read by the shell as a command.
install-files uninstall: export STARLANE_PREFIX = $(PREFIX)
install-files uninstall: export STARLANE_DESTDIR = $(DESTDIR)
install-files: export STARLANE_BUILD_DIR = $(BUILD_DIR)

# The install without building first: what BUILD_DIR holds (the install test uses its own).
install-files:
	@bash packaging/install.sh install "$$STARLANE_BUILD_DIR" "$$STARLANE_PREFIX" "$$STARLANE_DESTDIR"

uninstall:
	@bash packaging/install.sh uninstall "$$STARLANE_PREFIX" "$$STARLANE_DESTDIR"

# The Debian package starlane_VERSION_amd64.deb, built by dpkg-buildpackage from debian/ in a
# copy of the tree under build-deb/, then checked by lintian, appstreamcli and
# desktop-file-validate.
deb: deps
	$(call install,$(DEB_PACKAGES))
	@bash packaging/deb.sh

clean:
	rm -rf build build-asan build-windows build-fuzz build-web build-deb dist starlane_*.deb
