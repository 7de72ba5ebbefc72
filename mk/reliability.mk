# Reliability targets: fuzzing and the sanitizer build of the test suite.
.PHONY: fuzz test-sanitize

FUZZ_SECONDS ?= 60
export FUZZ_SECONDS

# libFuzzer harnesses with AddressSanitizer and UndefinedBehaviorSanitizer,
# FUZZ_SECONDS each.
fuzz:
	@scripts/install-deps.sh core fuzz
	JOBS=$(JOBS) scripts/reliability/fuzz.sh $(BUILD)-fuzz

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	JOBS=$(JOBS) scripts/reliability/test-sanitize.sh $(BUILD)-asan
