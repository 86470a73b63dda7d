# The two commands of the README: `make run` and `make test`. Both install what
# is missing, configure and build first.
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test unit bench package format clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/src/nudgery

# Every test: unit and widget tests offscreen, whole-program tests under Xvfb.
test: build
	cd $(BUILD) && ctest --output-on-failure -j2

# Unit and widget tests only (no display, no print queue).
unit: build
	cd $(BUILD) && ctest --output-on-failure -j2 -LE integration

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

# A Debian package of the build: $(BUILD)/nudgery_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

format:
	clang-format -i $$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp')

clean:
	rm -rf $(BUILD)
