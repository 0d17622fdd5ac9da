# One entry point for a fresh Debian 12 machine: every target installs what is
# missing, configures, builds and prepares the working folder run/ by itself.

BUILD   := build
RUN     := run
BIN     := $(BUILD)/bin
JOBS    := $(shell nproc 2>/dev/null || echo 2)

PACKAGES := g++ cmake ninja-build make libgtest-dev libgmock-dev libbenchmark-dev \
            freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri \
            xvfb xauth xdotool x11-utils imagemagick unifont libxtst-dev libhwy-dev \
            clang-14 libclang-rt-14-dev libomp-14-dev \
            dpkg-dev lintian desktop-file-utils man-db gnuplot-nox

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build workdir examples run tabulix package test sanitize-build test-sanitize-core test-sanitize fuzz bench clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The working folder the programs run in: settings files, annotated copies, font.
# The ready scenes examples/NNN-name.txt become data/NNN.txt, the number to
# load in the window; a file the user already has at that number stays.
workdir: configure
	cmake --build $(BUILD) -j $(JOBS) --target sjis-fontgen
	@mkdir -p $(RUN)/data $(RUN)/textdata
	@[ -s $(RUN)/sjis.fnt ] || $(BIN)/sjis-fontgen $(RUN)/sjis.fnt
	@for f in examples/[0-9][0-9][0-9]-*.txt; do \
	  n=$${f#examples/}; to="$(RUN)/data/$${n%%-*}.txt"; [ -e "$$to" ] || cp "$$f" "$$to" || exit 1; \
	done

# Writes the ready scenes again from their table (tools/example_scenes.cpp).
examples: configure
	cmake --build $(BUILD) -j $(JOBS) --target partivox-example-scenes
	$(BIN)/partivox-example-scenes examples

# The simulator in the working folder: settings go to run/data/N.txt. Only
# what it needs is built, so a first start does not wait for the tests.
run: workdir
	cmake --build $(BUILD) -j $(JOBS) --target partivox
	cd $(RUN) && ../$(BIN)/partivox

# The converter works on run/data/N.txt and writes run/textdata/N.txt.
tabulix: workdir
	cmake --build $(BUILD) -j $(JOBS) --target tabulix
	cd $(RUN) && ../$(BIN)/tabulix

# The Debian package build/partivox_VERSION_ARCH.deb, checked as Debian
# checks packages: lintian errors and invalid menu entries fail the build.
package: build
	cmake --build $(BUILD) --target package
	lintian --fail-on error $(BUILD)/partivox_*.deb
	desktop-file-validate packaging/partivox.desktop packaging/tabulix.desktop

test: build workdir
	tests/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The GUI tests run without the leak check: the Mesa driver that GL loads
# leaves a few allocations behind once it is unloaded, where no suppression
# can name it. Our own code's leaks show in the other tests.
SANITIZE_BUILD := build-sanitize
SANITIZER_ENV  := UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$(CURDIR)/tests/ubsan-suppressions.txt
sanitize-build: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARTIVOX_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

test-sanitize-core: sanitize-build
	$(SANITIZER_ENV) ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS) -LE gui

test-sanitize: test-sanitize-core
	$(SANITIZER_ENV) ASAN_OPTIONS=detect_leaks=0 tests/with-display.sh \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS) -L gui

# Each fuzz target searches for FUZZ_SECONDS, starting from its committed
# corpus; what it finds goes to $(FUZZ_BUILD)/corpus/, failing inputs to
# $(FUZZ_BUILD)/. `make test` replays the committed corpora.
FUZZ_BUILD   := build-fuzz
FUZZ_SECONDS := 60
FUZZ_TARGETS := settings_reader converter sjis_walk label_font edit_text
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARTIVOX_FUZZING=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "fuzz-$$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/bin/fuzz-$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

bench: build
	$(BIN)/partivox-bench
	bench/interactive_loop.sh $(BIN)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
