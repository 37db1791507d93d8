# Front door: every target installs what is missing, then configures and builds incrementally.
BUILD ?= build
ASAN_BUILD ?= build-asan
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)

WINDOWS_BUILD ?= build-windows
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all deps build test test-asan test-windows package lint-package reproducible purge-check piuparts demo bench fuzz tidy format format-check clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DR7_SANITIZE=ON -DR7_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The standard C++ core and its tests cross-compiled for Windows, run under Wine.
test-windows: deps
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DR7_CORE_ONLY=ON \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

# The Debian package, left in $(BUILD); every file dated by the changelog's newest entry, so
# the same commit gives the same bytes.
package: build
	rm -f $(BUILD)/morvane-r7_*.deb
	cd $(BUILD) && SOURCE_DATE_EPOCH=$$(dpkg-parsechangelog -l ../packaging/changelog -STimestamp) \
	  cpack -G DEB

# The package and its desktop files checked as Debian and the desktops check them: anything
# lintian says at any level fails, and so does a program hardening-check finds unprotected.
lint-package: package
	desktop-file-validate packaging/morvane-r7.desktop
	appstreamcli validate --no-net packaging/com.example.morvane_r7.metainfo.xml
	@bash scripts/check-package.sh $(BUILD)/morvane-r7_*.deb

# A second package built from a clean checkout of this commit in another folder: the same bytes.
reproducible: package
	@bash scripts/reproducible.sh $(BUILD)/morvane-r7_*.deb

# Installs the package into this system, runs the window as root, purges it, and fails when a
# file is left behind (or was changed) outside the purged package. Changes the system: not in CI.
purge-check: package
	@bash scripts/purge-check.sh $(BUILD)/morvane-r7_*.deb

# piuparts in a clean Debian 12 chroot (debootstrap from the mirror apt uses): install, run
# both programs' --version, purge, look for leftovers. Minutes, and the mirror: not in CI.
piuparts: package
	@bash scripts/piuparts.sh $(BUILD)/morvane-r7_*.deb

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@bash scripts/bench.sh $(BUILD)

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DR7_FUZZ=ON -DR7_BUILD_GUI=OFF -DR7_BUILD_TESTS=OFF -DR7_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

tidy: build
	@bash scripts/tidy.sh $(BUILD)

# Every C++ file through the one .clang-format; format-check fails on a file it would change.
FORMAT_FILES = git ls-files '*.cpp' '*.h'

format: deps
	$(FORMAT_FILES) | xargs clang-format -i

format-check: deps
	$(FORMAT_FILES) | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
