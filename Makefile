# Front door: `make run` builds and starts the program, `make test` builds and
# runs every test, `make bench` runs the benchmarks.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
EXAMPLE ?= examples/hr_schema.xml

.PHONY: all build test bench run deps clean asan

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(GENERATOR) $(CMAKE_FLAGS)

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benches
	@for b in $(BUILD)/bench/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; done

deps:
	scripts/install-deps

# Only the program and the sample database it logs on to: the tests and
# benchmarks are left to `make test` and `make bench`.
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target marrowtide sample_database
	$(BUILD)/marrowtide file=$(EXAMPLE)

asan:
	$(MAKE) BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DMARROWTIDE_ASAN=ON" test

clean:
	rm -rf $(BUILD)
