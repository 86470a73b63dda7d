# The two commands of the README: `make run` and `make test`. Both install what
# is missing, configure and build first.
BUILD ?= build
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test unit asan bench fuzz package format check-format clean

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

# Every test: the format check, unit and widget tests offscreen, whole-program
# tests under Xvfb.
test: check-format build
	cd $(BUILD) && ctest --output-on-failure -j2

# Unit and widget tests only (no display, no print queue).
unit: build
	cd $(BUILD) && ctest --output-on-failure -j2 -LE integration

# Unit and whole-program tests built with AddressSanitizer and UndefinedBehaviorSanitizer,
# in their own folder; not part of `make test`. faketime preloads itself ahead of the
# sanitizer runtime, hence verify_asan_link_order=0.
ASAN_BUILD ?= build-asan
asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUDGERY_SANITIZE=ON \
		-DNUDGERY_BUILD_BENCH=OFF -DNUDGERY_PNG_ICONS=OFF
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && \
		ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 NUDGERY_FAULT_SECONDS=900 \
		ctest --output-on-failure -j2

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

# libFuzzer targets, clang-built in their own folder, each run for FUZZ_SECONDS.
# New inputs go to $(FUZZ_BUILD)/corpus/<target>, crashes to .../crashes/<target>.
FUZZ_SECONDS ?= 600
FUZZ_BUILD ?= build-fuzz
FUZZ_TARGETS := fuzz_records fuzz_profile fuzz_version fuzz_ics fuzz_dav
# No input may take longer than this many seconds (a hang is a fault too).
FUZZ_TIMEOUT ?= 10

fuzz:
	@bash scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DNUDGERY_FUZZ=ON -DNUDGERY_BUILD_TESTS=OFF -DNUDGERY_BUILD_BENCH=OFF -DNUDGERY_PNG_ICONS=OFF
	cmake --build $(FUZZ_BUILD) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/crashes/$$t; \
		echo "== $$t for $(FUZZ_SECONDS) s"; \
		$(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=$(FUZZ_TIMEOUT) -max_len=4096 -rss_limit_mb=4096 -print_final_stats=1 \
			-artifact_prefix=$(FUZZ_BUILD)/crashes/$$t/ \
			$(FUZZ_BUILD)/corpus/$$t fuzz/seeds/$$t || exit 1; \
	done

# A Debian package of the build: $(BUILD)/nudgery_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

FORMATTED = git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
	'testkit/*.cpp' 'testkit/*.h' 'fuzz/*.cpp' 'packaging/*.cpp'

format: deps
	clang-format -i $$($(FORMATTED))

# Fails on any file that differs from .clang-format.
check-format: deps
	clang-format --dry-run -Werror $$($(FORMATTED))

clean:
	rm -rf $(BUILD)
