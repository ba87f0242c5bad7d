# Set-up, build, test and run in one place. `make test` and `make run` work on a
# fresh Debian machine: missing packages are installed when run as root.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
PACKAGES := g++ cmake ninja-build libgtest-dev libbenchmark-dev libncurses-dev tmux \
  help2man scdoc groff man-db bash-completion dpkg-dev file nlohmann-json3-dev libssl-dev
WORKSPACE := $(BUILD_DIR)/workspace

.PHONY: all deps configure build test run workspace package clean

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

clean:
	rm -rf $(BUILD_DIR)
