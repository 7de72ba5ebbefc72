// Why an exchange with the shared server stopped: one error with a kind per
// cause, a short Russian sentence that names the server (never with a
// password: the name is made from the connection's user, host, port and
// database only) and, apart from it, the words of libpq or the server, for
// those who want the details.
#pragma once

#include <stdexcept>
#include <string>

namespace logwick {

class SyncError : public std::runtime_error {
 public:
  enum class Kind {      // in the order of their sentences
    NoServer,            // no server address was given
    PasswordInAddress,   // the address holds a password
    BadAddress,          // the address does not parse
    UnknownHost,         // the host name is not known
    Unreachable,         // no connection: refused, no route
    TimedOut,            // the server did not answer in time
    NoPassword,          // the server asks for a password that no source gives
    WrongPassword,       // the server refused the password
    CertificateRefused,  // the server's certificate was not accepted
    Refused,             // the server refused the connection for another reason
    NoSchema,            // the database holds no shared archive
    OlderSchema,         // the shared archive is of an older version: server-init takes it on
    NewerSchema,         // the shared archive is of a newer version of the program
    AccessDenied,        // the role lacks rights on the shared archive
    Busy,                // another session held what a change waits for
    RowRefused,          // the server refused a read-out's values
    ConnectionLost,      // the server went away during the exchange
    ServerFailed,        // a request failed for another reason
    Cancelled,           // stopped on request
  };

  // server: the server's name; detail: libpq's or the server's own words.
  // A refused certificate's sentence gives the reason, told from the detail.
  SyncError(Kind kind, const std::string& server, std::string detail = {});
  Kind GetKind() const { return m_kind; }
  // The one-line sentence, and the words behind it (may be empty).
  const std::string& Sentence() const { return m_sentence; }
  const std::string& Detail() const { return m_detail; }

 private:
  Kind m_kind;
  std::string m_sentence;
  std::string m_detail;
};

}  // namespace logwick
