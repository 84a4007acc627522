#include "support/digest.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "support/fatal.h"

namespace {
constexpr int crypto_provider_exit_code = 123;

class wincrypt_digest_ctx final : public digest_ctx {
 public:
  wincrypt_digest_ctx(wincrypt_digest_alg& alg, HCRYPTHASH hash) : alg_(alg), hash_(hash) {}
  ~wincrypt_digest_ctx() override { close(); }
  void update(const void* data, size_t length) override {
    if (!CryptHashData(hash_, static_cast<const BYTE*>(data), DWORD(length), 0)) fatal("CryptHashData");
  }
  void final(uint8_t* out) override {
    HCRYPTHASH copy = 0;
    if (!CryptDuplicateHash(hash_, nullptr, 0, &copy)) fatal("CryptDuplicateHash");
    alg_.read_hash(copy, out);
    CryptDestroyHash(copy);
  }
  void close() override {
    if (hash_) CryptDestroyHash(hash_);
    hash_ = 0;
  }

 private:
  wincrypt_digest_alg& alg_;
  HCRYPTHASH hash_;
};
}  // namespace

HCRYPTPROV crypto_provider() {
  static const HCRYPTPROV provider = [] {
    HCRYPTPROV p = 0;
    if (!CryptAcquireContextW(&p, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
      std::exit(crypto_provider_exit_code);
    return p;
  }();
  return provider;
}

void digest_alg::digest(const void* data, size_t length, uint8_t* out) {
  std::unique_ptr<digest_ctx> ctx(new_context());
  ctx->update(data, length);
  ctx->final(out);
  ctx->close();
}

int digest_alg::compare(const uint8_t* a, const uint8_t* b) const {
  int c = std::memcmp(a, b, digest_size);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

void digest_alg::copy(uint8_t* destination, const uint8_t* source) const {
  std::memcpy(destination, source, digest_size);
}

HCRYPTHASH wincrypt_digest_alg::create_hash() {
  HCRYPTHASH hash = 0;
  if (!CryptCreateHash(crypto_provider(), algorithm_, 0, 0, &hash)) fatal("CryptCreateHash");
  return hash;
}

void wincrypt_digest_alg::read_hash(HCRYPTHASH hash, uint8_t* out) {
  DWORD length = digest_size;
  if (!CryptGetHashParam(hash, HP_HASHVAL, out, &length, 0) || length != digest_size) fatal("CryptGetHashParam");
}

void wincrypt_digest_alg::digest(const void* data, size_t length, uint8_t* out) {
  HCRYPTHASH hash = create_hash();
  if (!CryptHashData(hash, static_cast<const BYTE*>(data), DWORD(length), 0)) fatal("CryptHashData");
  read_hash(hash, out);
  CryptDestroyHash(hash);
}

digest_ctx* wincrypt_digest_alg::new_context() { return new wincrypt_digest_ctx(*this, create_hash()); }

namespace {
// Built before main so that a missing provider stops the program at once.
wincrypt_digest_alg md5_instance(16, 64, CALG_MD5);
const HCRYPTPROV provider_at_start = crypto_provider();
}  // namespace

digest_alg& md5_digest() { return md5_instance; }

void random_bytes(void* buffer, size_t count) {
  if (CryptGenRandom(crypto_provider(), DWORD(count), static_cast<BYTE*>(buffer))) return;
  std::srand(GetTickCount());
  for (size_t i = 0; i < count; ++i) static_cast<uint8_t*>(buffer)[i] = uint8_t(std::rand());
}
