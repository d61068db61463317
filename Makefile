# Front door: `make` builds, `make test` builds and runs every test, `make run`
# starts the program under Wine (PRODUCT=installed to have Connect open the page),
# `make bench` measures its launch. Missing tools are installed first.
SHELL := /bin/bash
.DEFAULT_GOAL := all
JOBS ?= $(shell nproc)
BUILD_TYPE ?= Release
# The Windows program is built for size: it is one file that users download.
WIN_BUILD_TYPE ?= MinSizeRel

# build/win32: the program as shipped. build/win64: the same sources for 64-bit
# Windows, built only where this machine cannot run 32-bit Wine (see tests/wine/env.sh).
TEST_ARCH = $(shell source tests/wine/env.sh && echo $$VELKARN_WINE_ARCH)

.PHONY: all prereqs native win32 wintest test test-native test-windows test-release run bench dist clean
PRODUCT ?= missing

prereqs:
	@scripts/install-prereqs.sh

all: prereqs
	@$(MAKE) --no-print-directory native win32 wintest

native:
	@cmake -S . -B build/native -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build build/native -j$(JOBS)

build/%/CMakeCache.txt:
	@cmake -S . -B build/$* -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(if $(filter win32,$*),i686,x86_64).cmake \
	       -DCMAKE_BUILD_TYPE=$(WIN_BUILD_TYPE) >/dev/null

win32: build/win32/CMakeCache.txt
	@cmake --build build/win32 -j$(JOBS)

# The build whose programs the Wine tests run.
wintest:
	@if [ "$(TEST_ARCH)" != win32 ]; then $(MAKE) --no-print-directory build/$(TEST_ARCH)/CMakeCache.txt && \
	    cmake --build build/$(TEST_ARCH) -j$(JOBS); fi

test: all
	@$(MAKE) --no-print-directory test-native test-windows test-release

test-native:
	@ctest --test-dir build/native --output-on-failure

# Windows programs need a display even when they show nothing; the end-to-end
# tests start displays of their own.
test-windows:
	@tests/wine/prefix.sh
	@xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
	    ctest --test-dir build/$(TEST_ARCH) --output-on-failure --label-exclude release

# The shipped file itself, and that it builds to the same bytes twice.
test-release:
	@ctest --test-dir build/win32 --output-on-failure --label-regex release

run: all
	@scripts/run.sh $(PRODUCT)

bench: all
	@bench/run.sh

dist: all
	@scripts/dist.sh

clean:
	@source tests/wine/env.sh; [ -d "$$WINEPREFIX" ] && wineserver -k 2>/dev/null; rm -rf build
