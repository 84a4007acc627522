#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <cstddef>
#include <cstdint>

class digest_ctx {
 public:
  virtual ~digest_ctx() = default;
  virtual void update(const void* data, size_t length) = 0;
  // The digest of everything so far; the context stays open.
  virtual void final(uint8_t* out) = 0;
  virtual void close() = 0;
};

class digest_alg {
 public:
  digest_alg(uint32_t digest_size, uint32_t block_size) : digest_size(digest_size), block_size(block_size) {}
  virtual ~digest_alg() = default;
  virtual void digest(const void* data, size_t length, uint8_t* out);
  virtual int compare(const uint8_t* a, const uint8_t* b) const;
  virtual void copy(uint8_t* destination, const uint8_t* source) const;
  virtual digest_ctx* new_context() = 0;

  const uint32_t digest_size;
  const uint32_t block_size;
};

class wincrypt_digest_alg : public digest_alg {
 public:
  wincrypt_digest_alg(uint32_t digest_size, uint32_t block_size, ALG_ID algorithm)
      : digest_alg(digest_size, block_size), algorithm_(algorithm) {}
  void digest(const void* data, size_t length, uint8_t* out) override;
  digest_ctx* new_context() override;
  HCRYPTHASH create_hash();
  void read_hash(HCRYPTHASH hash, uint8_t* out);

 private:
  ALG_ID algorithm_;
};

// The one MD5 instance.
digest_alg& md5_digest();

// The shared provider, acquired on first use; the process exits with 123 without it.
HCRYPTPROV crypto_provider();

void random_bytes(void* buffer, size_t count);
