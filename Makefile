# The two commands of the README: `make run` and `make test` (and `make studio`, the studio's `make run`).
# Both install what is missing first (scripts/install-deps), then build with CMake and Ninja.

RELEASE_DIR := build/release
TEST_DIR    := build/test
PACKAGE_DIR := build/package
CMAKE_GEN   := -G Ninja

.PHONY: all deps run studio build test bench screenshot gallery install package package-deps format clean

all: build

deps:
	@scripts/install-deps

$(RELEASE_DIR)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DLOOMARA_TESTS=OFF

# The optimised tree that `make run` starts from; CI (.ci/run) builds it with this same target.
build: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR)

run: build
	$(RELEASE_DIR)/src/app/loomara

studio: build
	$(RELEASE_DIR)/src/app/loomara-studio

$(TEST_DIR)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DLOOMARA_SANITIZE=ON

test: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR)
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	QT_QPA_PLATFORM=offscreen $(RELEASE_DIR)/bench/loomara-bench $(BENCH)

# Every named sett of the reference lists woven into build/gallery/ (open index.html).
gallery: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) --target loomara-render
	$(RELEASE_DIR)/src/app/loomara-render --gallery build/gallery

screenshot: build
	scripts/screenshot

install: build
	cmake --install $(RELEASE_DIR)

# The .deb: a release build with Debian's hardening flags, packed by CPack, then checked with
# lintian, desktop-file-validate, appstreamcli and the test of its contents.
package-deps:
	@scripts/install-deps package

$(PACKAGE_DIR)/build.ninja: CMakeLists.txt | package-deps
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake -S . -B $(PACKAGE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DLOOMARA_TESTS=OFF \
	    -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	    -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"

package: package-deps $(PACKAGE_DIR)/build.ninja
	rm -f $(PACKAGE_DIR)/loomara_*.deb
	cmake --build $(PACKAGE_DIR) --target package
	packaging/check-package $(PACKAGE_DIR)/loomara_*.deb $$(cat $(PACKAGE_DIR)/packaging/programs.txt)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
