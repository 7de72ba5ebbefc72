# The desktop program's extra targets.
.PHONY: screenshots

# Every window and dialog, with real content, as PNG files under docs/.
screenshots: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target logwick-screenshots -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/logwick-screenshots docs

# A simulated panel left running as a COM port, and how to read it in the window.
.PHONY: demo-gui
demo-gui: build
	@scripts/demo-gui.sh $(BUILD)
