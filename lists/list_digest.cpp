#include "lists/list_digest.h"

#include <stdexcept>

#include "lists/byte_stream.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

namespace logwick {

std::string EventFileBytes(const CT7KEventList& list) {
  std::string bytes;
  bytes.reserve(CT7KEventList::kReservedSize + 64 + list.GetCount() * CT7KEvent::kSize);
  CArchive ar(bytes);
  list.Store(ar);
  ar.Close();
  return bytes;
}

#ifdef _WIN32
Sha256 Sha256Of(const void* data, std::size_t size) {
  Sha256 digest{};
  BCRYPT_ALG_HANDLE alg = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok =
      BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0) >= 0 &&
      BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0) >= 0 &&
      BCryptHashData(hash, static_cast<PUCHAR>(const_cast<void*>(data)), static_cast<ULONG>(size), 0) >= 0 &&
      BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0) >= 0;
  if (hash) BCryptDestroyHash(hash);
  if (alg) BCryptCloseAlgorithmProvider(alg, 0);
  if (!ok) throw std::runtime_error("SHA-256 недоступен");
  return digest;
}
#else
Sha256 Sha256Of(const void* data, std::size_t size) {
  Sha256 digest{};
  unsigned int length = 0;
  if (EVP_Digest(data, size, digest.data(), &length, EVP_sha256(), nullptr) != 1 || length != digest.size())
    throw std::runtime_error("SHA-256 недоступен");
  return digest;
}
#endif

Sha256 EventListSha256(const CT7KEventList& list) {
  const std::string bytes = EventFileBytes(list);
  return Sha256Of(bytes.data(), bytes.size());
}

void AppendHex(std::string& out, const std::uint8_t* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const std::size_t at = out.size();
  out.resize(at + 2 * size);
  char* p = out.data() + at;
  for (std::size_t i = 0; i < size; ++i) {
    *p++ = kDigits[bytes[i] >> 4];
    *p++ = kDigits[bytes[i] & 0x0F];
  }
}

std::string HexOf(const Sha256& digest) {
  std::string hex;
  hex.reserve(digest.size() * 2);
  AppendHex(hex, digest.data(), digest.size());
  return hex;
}

}  // namespace logwick
