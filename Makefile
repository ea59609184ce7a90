# Two commands do everything on a fresh Debian 12 machine:
#   make run    installs what is missing, builds and opens the window
#   make test   installs what is missing, builds and runs every test
.PHONY: check format package run test test-sanitize fuzz fuzz-records fuzz-corpus soak build configure deps screenshot clean \
        web web-test-deps serve dist test-deps page-deps

# Each target installs only the packages its group needs (scripts/install-deps).
deps:
	scripts/install-deps desktop

configure: deps
	cmake --preset release

build: configure
	cmake --build --preset release

run: build
	./build/release/parallel-lines

# The quick checks, first in CI: the C++ as .clang-format lays it out, ESLint over the
# page's scripts and the browser checks, and the unit tests. `make format` lays it out.
check: test-deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
	tests/web/node_modules/.bin/eslint --max-warnings 0 web tests/web fuzz bench
	cmake --preset release
	cmake --build --preset release --target unit_tests
	ctest --preset release -L unit

format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

test: test-deps
	cmake --preset release
	cmake --build --preset release
	cmake --preset web
	cmake --build --preset web
	ctest --preset release

test-deps:
	scripts/install-deps desktop page test
	$(MAKE) web-test-deps

# The lesson as one HTML file for any browser, build/web/parallel-lines.html, and as a
# site to put on any https host, build/web/site/.
web: page-deps
	cmake --preset web
	cmake --build --preset web

# The site on http://localhost:8000, to try installing it and using it offline.
serve: web
	python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web/site

# The browser tests' tools, pinned by tests/web/package-lock.json.
page-deps:
	scripts/install-deps desktop page

web-test-deps:
	cd tests/web && { [ node_modules/.package-lock.json -nt package-lock.json ] || npm ci --no-audit --no-fund; }

# A Debian package of the program, its menu entry and icon, in build/release.
package: page-deps build
	cd build/release && cpack -G DEB

# What to hand to a school, in build/dist/: the single file, the site as a zip, the
# Debian package and SHA256SUMS.
dist: package web
	scripts/make-dist

# The same tests built with the address and undefined-behaviour sanitizers.
test-sanitize: test-deps
	cmake --preset debug
	cmake --build --preset debug
	ctest --preset debug

# The libFuzzer target (clang, address and undefined-behaviour sanitizers).
# `make fuzz` searches for FUZZ_SECONDS; `make fuzz-corpus` only replays the corpus.
FUZZ_SECONDS ?= 600
fuzz: test-deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	mkdir -p build/fuzz/corpus
	cp -n fuzz/corpus/* build/fuzz/corpus/
	build/fuzz/fuzz/fuzz_events -max_total_time=$(FUZZ_SECONDS) -max_len=4096 build/fuzz/corpus fuzz/corpus

# The record's reader, on its own: what a browser's storage may hand back.
fuzz-records: test-deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	mkdir -p build/fuzz/record-corpus
	cp -n fuzz/record-corpus/* build/fuzz/record-corpus/
	build/fuzz/fuzz/fuzz_records -max_total_time=$(FUZZ_SECONDS) -max_len=65536 build/fuzz/record-corpus fuzz/record-corpus

fuzz-corpus: test-deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	build/fuzz/fuzz/fuzz_events -runs=0 fuzz/corpus
	build/fuzz/fuzz/fuzz_records -runs=0 fuzz/record-corpus

# A million events through the window and its view; resident memory before and after.
soak: test-deps build
	scripts/soak

screenshot: test-deps build
	scripts/make-screenshot

clean:
	rm -rf build
