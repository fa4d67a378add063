# Front door: `make run` and `make test` do all the set-up on Debian 12.
BUILD ?= build
GENERATOR ?= Ninja
SAMPLE ?= examples/sample-pq.gpx

# Debian packages the build and the tests need (installed when missing).
PACKAGES = g++ cmake ninja-build make zlib1g-dev qt6-base-dev qt6-qpa-plugins \
           libgtest-dev libgmock-dev libbenchmark-dev libxml2-utils \
           clang-format util-linux

SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run format bench clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive \
	    apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/build.ninja ] || [ -f $(BUILD)/Makefile ] || \
	  cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

# Converts the sample pocket query with fresh settings kept in the build
# tree, so the user's own settings are never touched. The sample is copied
# first: the KML goes beside its input.
RUN_DIR = $(abspath $(BUILD))/run
RUN_CONFIG = $(abspath $(BUILD))/run-config
run: configure
	cmake --build $(BUILD) --target korvelo
	@rm -rf "$(RUN_DIR)" "$(RUN_CONFIG)" && mkdir -p "$(RUN_DIR)" "$(RUN_CONFIG)"
	@cp "$(SAMPLE)" "$(RUN_DIR)/"
	XDG_CONFIG_HOME="$(RUN_CONFIG)" $(BUILD)/korvelo /all "$(RUN_DIR)/$(notdir $(SAMPLE))"
	@echo "Settings used and saved: $(RUN_CONFIG)/Brannoc/Korvelo.conf"
	@echo "KML written:"; ls -1 "$(RUN_DIR)"/*.kml

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# The end-to-end benchmark (not part of `make test`): times the binary and
# GPSBabel on generated pocket queries, checks the output hashes and writes
# bench/RESULTS.md. GPSBabel is installed for this target only.
BENCH_PACKAGES = gpsbabel zip time
bench: build
	@missing=""; \
	for p in $(BENCH_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive \
	    apt-get install -y --no-install-recommends $$missing; \
	fi
	nice bench/run_bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
