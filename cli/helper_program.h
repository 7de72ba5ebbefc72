// The helper program logwick-sync, which holds everything that needs the
// PostgreSQL client library (libpq and, through it, Kerberos, LDAP and TLS),
// so that no other command of logwick-cli loads it. `archive sync` and
// `archive server-init` hand the whole command line over to it: on POSIX the
// helper replaces this process (exit status, standard streams and Ctrl-C are
// its own); on Windows it runs as a child that this process waits for, and
// Ctrl-C is left to it.
//
// It is looked for beside this program, then in ../libexec/logwick/ from this
// program's folder (where the Debian package installs it).
#pragma once

namespace logwick::cli {

inline constexpr char kSyncHelperName[] = "logwick-sync";

// Keeps the command line (UTF-8) for the helper; call first in main.
void RememberArguments(int argc, char** argv);

// Runs the helper with the command line kept; returns only on Windows (the
// helper's exit status) and throws CliError when the helper cannot be found
// or started.
int RunSyncHelper();

}  // namespace logwick::cli
