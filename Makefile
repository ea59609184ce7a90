# Two commands do everything on a fresh Debian 12 machine:
#   make run    installs what is missing, builds and opens the window
#   make test   installs what is missing, builds and runs every test
.PHONY: run test test-sanitize build configure deps screenshot clean

deps:
	scripts/install-deps

configure: deps
	cmake --preset release

build: configure
	cmake --build --preset release

run: build
	./build/release/parallel-lines

test: build
	ctest --preset release

# The same tests built with the address and undefined-behaviour sanitizers.
test-sanitize: deps
	cmake --preset debug
	cmake --build --preset debug
	ctest --preset debug

screenshot: build
	scripts/make-screenshot

clean:
	rm -rf build
