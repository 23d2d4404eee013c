# The whole set-up on a fresh Debian machine: every target first installs
# what is missing, then configures and builds with CMake.
#   make run            build and start the reader
#   make test           build and run every test
#   make bench          build and run the benchmarks
#   make fuzz           run each fuzz target for FUZZ_SECONDS (60)
#   make asan           build and run the tests under the sanitizers
# BOOK=path builds the program with another book source.

BOOK ?= resources/book/sample.book
FUZZ_SECONDS ?= 60
BOOK_FLAG = -DLUMORA_BOOK=$(abspath $(BOOK))
JOBS ?= $(shell nproc)

.PHONY: deps run test bench fuzz asan clean configure-default

deps:
	@scripts/install-deps

configure-default: deps
	@cmake --preset default $(BOOK_FLAG) >/dev/null

run: configure-default
	@cmake --build build/default --target lumora -j $(JOBS)
	@build/default/lumora $(ARGS)

test: configure-default
	@cmake --build build/default -j $(JOBS)
	@ctest --preset default -j $(JOBS)

asan: deps
	@cmake --preset asan $(BOOK_FLAG) >/dev/null
	@cmake --build build/asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

bench: configure-default
	@cmake --build build/default --target lumora_bench -j $(JOBS)
	@build/default/bench/lumora_bench

fuzz: deps
	@cmake --preset fuzz $(BOOK_FLAG) >/dev/null
	@cmake --build build/fuzz -j $(JOBS)
	@build/fuzz/fuzz/run-fuzzers $(FUZZ_SECONDS)

clean:
	rm -rf build
