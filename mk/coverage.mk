# Line and branch coverage of the product folders over the whole test suite.
.PHONY: coverage

coverage:
	@scripts/install-deps.sh core gui coverage
	JOBS=$(JOBS) scripts/coverage.sh $(BUILD)-coverage
