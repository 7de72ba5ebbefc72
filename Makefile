# Logwick: the two commands of the README are `make demo` and `make test`.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD ?= build
CMAKE_FLAGS ?=
export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps build check demo test bench clean

all: build

deps:
	@scripts/install-deps.sh core gui

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

# The quick loop: build and run the suite once; installs nothing and skips
# the sanitizer pass.
check: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite, then again under AddressSanitizer and UndefinedBehaviorSanitizer
# (test-sanitize, in mk/reliability.mk).
test: deps
	$(MAKE) --no-print-directory check
	$(MAKE) --no-print-directory test-sanitize

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DLOGWICK_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-bench -j $(JOBS)
	@scripts/bench.sh $(BUILD)-bench

# Further targets (fuzz, screenshots, test-windows, ...) live in mk/.
-include mk/*.mk

clean:
	rm -rf $(BUILD) $(BUILD)-*
