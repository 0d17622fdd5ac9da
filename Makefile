# One entry point for a fresh Debian 12 machine: every target installs what is
# missing, configures, builds and prepares the working folder run/ by itself.

BUILD   := build
RUN     := run
BIN     := $(BUILD)/bin
JOBS    := $(shell nproc 2>/dev/null || echo 2)

PACKAGES := g++ cmake ninja-build make libgtest-dev libgmock-dev libbenchmark-dev \
            freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri \
            xvfb xauth xdotool x11-utils imagemagick unifont libxtst-dev libhwy-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build workdir run tabulix test bench clean

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
workdir: configure
	cmake --build $(BUILD) -j $(JOBS) --target sjis-fontgen
	@mkdir -p $(RUN)/data $(RUN)/textdata
	@[ -s $(RUN)/sjis.fnt ] || $(BIN)/sjis-fontgen $(RUN)/sjis.fnt

# The simulator in the working folder: settings go to run/data/N.txt. Only
# what it needs is built, so a first start does not wait for the tests.
run: workdir
	cmake --build $(BUILD) -j $(JOBS) --target partivox
	cd $(RUN) && ../$(BIN)/partivox

# The converter works on run/data/N.txt and writes run/textdata/N.txt.
tabulix: workdir
	cmake --build $(BUILD) -j $(JOBS) --target tabulix
	cd $(RUN) && ../$(BIN)/tabulix

test: build workdir
	tests/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	$(BIN)/partivox-bench
	bench/interactive_loop.sh $(BIN)

clean:
	rm -rf $(BUILD)
