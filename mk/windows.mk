# make test-windows: the Windows build (mingw-w64) and its tests under Wine;
# make windows-installer: its setup program, build-windows/logwick-<version>-setup.exe.
WINDOWS_BUILD ?= build-windows

.PHONY: test-windows windows-installer
test-windows:
	@scripts/install-deps.sh core windows
	@scripts/windows/test.sh $(WINDOWS_BUILD) $(JOBS)

windows-installer:
	@scripts/install-deps.sh core windows
	@scripts/windows/configure.sh $(WINDOWS_BUILD) $(JOBS)
	cmake --build $(WINDOWS_BUILD) --target windows-installer -j $(JOBS)
