// Why a synchronisation with the shared server stopped, as one error with a
// kind per cause and a Russian message that names the server (never with a
// password: the name is made from the connection's user, host, port and
// database only).
#pragma once

#include <stdexcept>
#include <string>

namespace logwick {

class SyncError : public std::runtime_error {
 public:
  enum class Kind {  // in the order of their messages
    NoServer,        // no server address was given
    BadAddress,      // the address does not parse
    UnknownHost,     // the host name is not known
    Unreachable,     // no connection: refused, timed out, no route
    NoPassword,      // the server asks for a password that no source gives
    WrongPassword,   // the server refused the password
    Refused,         // the server refused the connection for another reason
    NoSchema,        // the database holds no shared archive
    OlderSchema,     // the shared archive is of an older version: server-init takes it on
    NewerSchema,     // the shared archive is of a newer version of the program
    AccessDenied,    // the role lacks rights on the shared archive
    ConnectionLost,  // the server went away during the exchange
    ServerFailed,    // a request failed for another reason
    DamagedReadout,  // a read-out on the server does not match its SHA-256
    Cancelled,       // stopped on request
  };

  // server: the server's name as ServerName gives it; detail: the server's or
  // the library's own words, added in brackets.
  SyncError(Kind kind, const std::string& server, const std::string& detail = {});
  Kind GetKind() const { return m_kind; }
  const std::string& Server() const { return m_server; }

 private:
  Kind m_kind;
  std::string m_server;
};

}  // namespace logwick
