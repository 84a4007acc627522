#pragma once

#include <windows.h>
#include <wininet.h>

// The root, connection and request handles of one request, closed request first. A status
// callback may close the handle a notification came from while a call is under way; whichever
// side takes a handle out of its slot first closes it, so none is closed twice.
class internet_handles {
 public:
  internet_handles() = default;
  ~internet_handles();
  internet_handles(const internet_handles&) = delete;
  internet_handles& operator=(const internet_handles&) = delete;

  HINTERNET root() const { return root_; }
  HINTERNET connection() const { return connection_; }
  HINTERNET request() const { return request_; }
  void set_root(HINTERNET h) { root_ = h; }
  void set_connection(HINTERNET h) { connection_ = h; }
  void set_request(HINTERNET h) { request_ = h; }

  // Closes `h` if it is one of the three and still open.
  void close(HINTERNET h);

 private:
  static void close_slot(HINTERNET volatile& slot);
  HINTERNET volatile root_ = nullptr;
  HINTERNET volatile connection_ = nullptr;
  HINTERNET volatile request_ = nullptr;
};
