# make test-windows: the Windows build (mingw-w64) and its tests under Wine.
WINDOWS_BUILD ?= build-windows

.PHONY: test-windows
test-windows:
	@scripts/install-deps.sh core windows
	@scripts/windows/test.sh $(WINDOWS_BUILD) $(JOBS)
