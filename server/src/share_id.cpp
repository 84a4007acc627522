#include "share_id.h"

#include <sys/random.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

}  // namespace

std::string new_share_id() {
  unsigned char bits[16];
  size_t got = 0;
  while (got < sizeof bits) {
    ssize_t n = getrandom(bits + got, sizeof bits - got, 0);
    if (n < 0) {
      std::perror("new_share_id: getrandom");
      std::abort();
    }
    got += static_cast<size_t>(n);
  }
  std::string id;
  // 16 bytes = 5 groups of 3 bytes and one byte left; 4 + 4 * 5 + 2 = 22 characters.
  size_t i = 0;
  for (; i + 3 <= sizeof bits; i += 3) {
    unsigned group = (bits[i] << 16) | (bits[i + 1] << 8) | bits[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) id.push_back(alphabet[(group >> shift) & 63]);
  }
  id.push_back(alphabet[bits[i] >> 2]);
  id.push_back(alphabet[(bits[i] & 3) << 4]);
  return id;
}

bool is_share_id(std::string_view text) {
  if (text.size() != share_id_length) return false;
  for (char c : text)
    if (!(('A' <= c && c <= 'Z') || ('a' <= c && c <= 'z') || ('0' <= c && c <= '9') || c == '-' || c == '_'))
      return false;
  return true;
}
