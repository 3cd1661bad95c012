# make test: install what is missing, configure, build, run every test through CTest.
# make run:  the same set-up, then start the program from its folder.
# make package: the same set-up, then build/zorvane_<version>_amd64.deb.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build test run package clean format

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	scripts/run $(BUILD)/bin

package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD)

# Applies the project's C++ style (.clang-format) to every tracked source file.
format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
