# The two commands of the README: `make run` and `make test`.
# Both install what is missing first (scripts/install-deps), then build with CMake and Ninja.

RELEASE_DIR := build/release
TEST_DIR    := build/test
CMAKE_GEN   := -G Ninja

.PHONY: all deps run build test bench screenshot install format clean

all: build

deps:
	@scripts/install-deps

$(RELEASE_DIR)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DLOOMARA_TESTS=OFF

build: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR)

run: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) --target loomara
	$(RELEASE_DIR)/src/app/loomara

$(TEST_DIR)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DLOOMARA_SANITIZE=ON

test: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR)
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	QT_QPA_PLATFORM=offscreen $(RELEASE_DIR)/bench/loomara-bench

screenshot: build
	scripts/screenshot

install: build
	cmake --install $(RELEASE_DIR)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
