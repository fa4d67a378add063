# Front door: `make run` and `make test` do all the set-up on Debian 12.
BUILD ?= build
GENERATOR ?= Ninja
SAMPLE ?= examples/sample-pq.gpx

# Debian packages the build and the tests need (installed when missing).
PACKAGES = g++ cmake ninja-build make zlib1g-dev libisal-dev qt6-base-dev \
           qt6-qpa-plugins libgtest-dev libxml2-dev libxml2-utils clang-format \
           util-linux

SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test run format bench clean \
        install package check-package test-asan fuzz fuzz-smoke check-consumers

all: build

# Installs missing Debian packages: $(call ensure_packages,list).
define ensure_packages
	@missing=""; \
	for p in $(1); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive \
	    apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends $$missing; \
	fi
endef

# Configures the build folder $(1) with the CMake arguments $(2); $(3), when
# given, goes before cmake (the compiler choice of the fuzz build).
configure_build = $(3) cmake -S . -B $(1) -G "$(GENERATOR)" $(2)
# The same, only when $(1) holds no configured build yet.
configure_once = @[ -f $(1)/build.ninja ] || [ -f $(1)/Makefile ] || \
  $(call configure_build,$(1),$(2),$(3))

deps:
	$(call ensure_packages,$(PACKAGES))

configure: deps
	$(call configure_once,$(BUILD),-DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVELO_ICONS_FROM_SOURCE=ON)

build: configure
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

# Other programs that read what Korvelo writes (libkml, GDAL, GPSBabel,
# xmllint), installed for this target: the tests labelled "consumers" skip a
# reader that is missing, so `make test` alone may not have run them. The
# build is configured again so that it finds readers installed just now.
CONSUMER_PACKAGES = libkml-dev gdal-bin gpsbabel libxml2-utils
check-consumers: configure
	$(call ensure_packages,$(CONSUMER_PACKAGES))
	cmake -S . -B $(BUILD) >/dev/null
	cmake --build $(BUILD)
	cd $(BUILD) && ctest -L consumers --output-on-failure -j2

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
# bench/RESULTS.md. GPSBabel and eatmydata are installed for this target
# only.
BENCH_PACKAGES = gpsbabel zip time eatmydata
bench: build
	$(call ensure_packages,$(BENCH_PACKAGES))
	nice bench/run_bench.sh $(BUILD)


# `make install` builds a release in its own tree, because the install
# prefix is compiled in (the KML icons point at PREFIX/share/korvelo/icons),
# then installs below DESTDIR + PREFIX.
PREFIX ?= /usr/local
INSTALL_BUILD = $(BUILD)-install
install: deps
	$(call configure_build,$(INSTALL_BUILD),-DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVELO_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX="$(PREFIX)")
	cmake --build $(INSTALL_BUILD)
	DESTDIR="$(DESTDIR)" cmake --install $(INSTALL_BUILD) --strip

# The Debian package, for /usr, in $(PACKAGE_BUILD); check-package unpacks
# it and checks every file, the version, the validators and lintian.
PACKAGE_BUILD = $(BUILD)-package
PACKAGE_PACKAGES = dpkg-dev lintian desktop-file-utils appstream
BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: deps
	$(call ensure_packages,$(PACKAGE_PACKAGES))
	$(call configure_build,$(PACKAGE_BUILD),-DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVELO_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$($(BUILDFLAGS) CPPFLAGS) $$($(BUILDFLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(BUILDFLAGS) LDFLAGS)")
	cmake --build $(PACKAGE_BUILD)
	rm -f $(PACKAGE_BUILD)/korvelo_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB
	@ls -1 $(PACKAGE_BUILD)/korvelo_*.deb

check-package: package
	packaging/check-package.sh $(PACKAGE_BUILD)/korvelo_*.deb

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in
# its own build folder: any error or leak stops the test that met it. The
# suppressions path is quoted twice, for the shell and for the sanitizers'
# own option parser, which would split it at a blank.
ASAN_BUILD ?= build-asan
test-asan: deps
	$(call configure_once,$(ASAN_BUILD),-DCMAKE_BUILD_TYPE=Debug \
	  -DKORVELO_SANITIZE=ON)
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && \
	  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS="suppressions='$(CURDIR)/tests/lsan.supp'" \
	  ctest --output-on-failure -j2

# libFuzzer targets (fuzz/) with clang; never part of `make test`.
FUZZ_BUILD ?= build-fuzz
FUZZ_PACKAGES = clang libclang-rt-14-dev
FUZZ_RUNS ?= 3000
fuzz: deps
	$(call ensure_packages,$(FUZZ_PACKAGES))
	$(call configure_once,$(FUZZ_BUILD),-DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVELO_FUZZ=ON,CC=clang CXX=clang++)
	cmake --build $(FUZZ_BUILD)

# Every fuzz target for $(FUZZ_RUNS) runs; fails on any finding.
fuzz-smoke: fuzz
	fuzz/smoke $(FUZZ_BUILD) $(FUZZ_RUNS)

clean:
	rm -rf $(BUILD) $(INSTALL_BUILD) $(PACKAGE_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
