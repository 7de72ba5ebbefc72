# The Debian package: make package builds build-package/logwick_<version>_amd64.deb,
# make test-package builds it and checks it as a user would get it.
PACKAGE_BUILD ?= build-package

.PHONY: package test-package

package:
	@scripts/install-deps.sh core gui package
	@scripts/package/build.sh $(PACKAGE_BUILD) $(JOBS)

test-package: package
	@scripts/package/test.sh $(PACKAGE_BUILD)
