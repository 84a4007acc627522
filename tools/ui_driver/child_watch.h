#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/scoped_win.h"

// A process that joined a watched target's job: opened the moment the job said so, so that its
// exit code is there even when it ends at once.
struct joined_process {
  DWORD pid = 0;
  DWORD parent = 0;
  HANDLE handle = nullptr;  // owned by the watch until taken
  unsigned job = 0;
};

// The file name of a process's program, without its folder; "?" when it cannot be read.
std::string image_of(HANDLE process);

// Every target runs in a job of its own, and processes it starts join that job. The job's
// completion port names each process as it starts; a thread of the watch opens it at once.
class child_watch {
 public:
  child_watch();
  ~child_watch();
  child_watch(const child_watch&) = delete;
  child_watch& operator=(const child_watch&) = delete;

  // Puts a process created suspended into a new job, ending the watch of the one before (its
  // processes not taken are let go).
  bool watch(HANDLE process, std::string& error);
  // Waits for a process started by `parent` that was not taken before; its handle becomes the
  // caller's.
  bool take_child(DWORD parent, DWORD timeout_ms, joined_process& out, std::string& error);

 private:
  static DWORD WINAPI listen(void* self);  // the thread: notes each process that joins a job
  void note_new_process(DWORD pid, unsigned job);

  scoped_handle port_;
  scoped_handle job_;
  scoped_handle thread_;
  scoped_handle changed_;  // set whenever a process is noted
  unsigned job_serial_ = 0;
  std::string why_unwatched_;  // why the target is in no job: no port, no thread, or the job refused
  CRITICAL_SECTION lock_;
  std::vector<joined_process> joined_;  // under lock_
};
