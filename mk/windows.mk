# make test-windows: the Windows build (mingw-w64) and its tests under Wine;
# make windows-installer: its setup program, build-windows/logwick-<version>-setup.exe.
WINDOWS_BUILD ?= build-windows

.PHONY: test-windows windows-installer screenshots-windows bench-windows
test-windows:
	@scripts/install-deps.sh core windows
	@scripts/windows/test.sh $(WINDOWS_BUILD) $(JOBS)

# Pictures of logwick.exe's windows under Wine into docs/windows/, and the
# event list's figures at the file limit (after make test-windows).
screenshots-windows:
	@scripts/windows/screenshots.sh $(WINDOWS_BUILD) pictures

bench-windows:
	@scripts/windows/screenshots.sh $(WINDOWS_BUILD) figures

windows-installer:
	@scripts/install-deps.sh core windows
	@scripts/windows/configure.sh $(WINDOWS_BUILD) $(JOBS)
	cmake --build $(WINDOWS_BUILD) --target windows-installer -j $(JOBS)
