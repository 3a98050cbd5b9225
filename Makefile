BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
PREFIX ?= $(HOME)/.local

.PHONY: run test deps configure build clean bench install

run: build
	$(BUILD_DIR)/bin/velmora

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; $$b; done

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Installs velmora, its desktop entry and icon under PREFIX, then refreshes the desktop's caches.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)
	-update-desktop-database $(PREFIX)/share/applications 2>/dev/null
	-gtk-update-icon-cache -q -t $(PREFIX)/share/icons/hicolor 2>/dev/null

clean:
	rm -rf $(BUILD_DIR)
