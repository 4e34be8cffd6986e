# Every target installs what it needs first; see README.md.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
WERROR ?= OFF

.PHONY: deps build run test asan bench fuzz format clean package

deps:
	bash scripts/install-deps

build: deps
	cmake --preset default -DTARVEX_WERROR=$(WERROR)
	cmake --build --preset default -j $(JOBS)

run: build
	./build/bin/tarvex620b

test: build
	ctest --preset default -j $(JOBS)

asan: deps
	cmake --preset asan -DTARVEX_WERROR=$(WERROR)
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: deps
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	bash bench/run-all

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	bash fuzz/run-all $(FUZZ_SECONDS)

# The Debian package build/tarvex620b_VERSION_amd64.deb (install: sudo apt-get install ./build/tarvex620b_*.deb).
package: build
	cmake --build build --target package

# Windows, cross-built against a Qt for Windows that scripts/windows-qt builds once into a cache
# outside the clone: the program folder build-windows-qt/Tarvex620B, then its zip and installer
# build-windows-qt/tarvex620b-VERSION-win64.zip and .exe.
.PHONY: windows windows-package
windows:
	bash scripts/windows-build

windows-package:
	bash scripts/windows-build --package

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-bench build-fuzz build-windows build-windows-qt

# The main window and every dialog rendered to build/screenshots/*.png, headless, and again at a
# 13 pt font, at scale 2 and with dark colours (the subfolders 13pt, scale2 and dark); the desktop
# registration and the profile of those runs stay inside build/.
SHOOT = XDG_DATA_HOME=$(CURDIR)/build/screenshots-home/data XDG_CONFIG_HOME=$(CURDIR)/build/screenshots-home/config \
	QT_QPA_PLATFORM=offscreen
.PHONY: screenshots
screenshots: build
	mkdir -p build/screenshots-home/data build/screenshots-home/config
	printf '* { font-size: 13pt; }\n' > build/screenshots-home/13pt.qss
	$(SHOOT) ./build/bin/tarvex_screenshots build/screenshots
	$(SHOOT) ./build/bin/tarvex_screenshots build/screenshots/13pt -stylesheet build/screenshots-home/13pt.qss
	$(SHOOT) QT_SCALE_FACTOR=2 ./build/bin/tarvex_screenshots build/screenshots/scale2
	$(SHOOT) ./build/bin/tarvex_screenshots --dark build/screenshots/dark
