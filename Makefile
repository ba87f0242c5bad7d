# Set-up, build, test and run in one place. `make test` and `make run` work on a
# fresh Debian machine: missing packages are installed when run as root.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
PACKAGES := g++ cmake ninja-build libgtest-dev libbenchmark-dev libncurses-dev tmux \
  help2man scdoc groff man-db bash-completion dpkg-dev file lintian nlohmann-json3-dev rapidjson-dev \
  libssl-dev zlib1g-dev clang-format libcairo2-dev libpng-dev pkg-config poppler-utils fonts-dejavu-core \
  python3 pybind11-dev python3-dev python3-numpy python3-pandas python3-pytest \
  python3-matplotlib
WORKSPACE := $(BUILD_DIR)/workspace
# The fuzz build (its own folder, so that `make test` never needs clang).
FUZZ_DIR ?= build-fuzz
FUZZ_PACKAGES := clang libclang-rt-dev
FUZZ_SECONDS ?= 1800
FUZZ_PARALLEL ?= 2

.PHONY: all deps configure build test run workspace package clean fuzz fuzz-check fuzz-long

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	  else \
	    echo "Missing Debian packages:$$missing (run 'make deps' as root, or install them)"; exit 1; \
	  fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j2

workspace: build
	rm -rf $(WORKSPACE)/DATA
	mkdir -p $(WORKSPACE)/OUTPUT
	$(BUILD_DIR)/tools/quillmore-sample-data --out $(WORKSPACE)/DATA

run: workspace
	cd $(WORKSPACE) && ../src/quillmore

# A Debian package of the programs, manual pages, completion and documentation.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# libFuzzer targets with AddressSanitizer and UndefinedBehaviorSanitizer (see HACKING.md).
fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(FUZZ_PACKAGES)"
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DQUILLMORE_FUZZ=ON -DQUILLMORE_TESTS=OFF -DQUILLMORE_BENCH=OFF
	cmake --build $(FUZZ_DIR) --target quillmore_fuzz

# Every target on its seed corpus, fixed runs and seed: what CI runs.
fuzz-check: fuzz
	FUZZ_DIR=$(FUZZ_DIR) bash fuzz/run check

# A long campaign: FUZZ_SECONDS per target, FUZZ_PARALLEL targets at a time.
fuzz-long: fuzz
	FUZZ_DIR=$(FUZZ_DIR) FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_PARALLEL=$(FUZZ_PARALLEL) bash fuzz/run long

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR)
