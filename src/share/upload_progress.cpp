#include "share/upload_progress.h"

#include "share/share_reply.h"
#include "support/text.h"

namespace {

const wchar_t* const frames[upload_spinner_frames] = {L"booq", L"doop", L"obqo", L"odpo",
                                                      L"oqbo", L"opdo", L"qoob", L"pood"};

volatile LONG frame_count = 0;

}  // namespace

const wchar_t* spinner_frame(unsigned count) { return frames[count % upload_spinner_frames]; }

const wchar_t* next_spinner_frame() { return spinner_frame(unsigned(InterlockedIncrement(&frame_count) - 1)); }

const wchar_t* upload_caption(bool screenshot) { return screenshot ? L"FOLVI Screenshot" : L"FOLVI Test Report"; }

const wchar_t* upload_status_text(bool screenshot) { return screenshot ? nullptr : L"Thanks! Uploading..."; }

bool upload_shown_long_enough(DWORD start_tick, DWORD now_tick) {
  return DWORD(now_tick - start_tick) >= upload_minimum_showing_ms;
}

upload_outcome upload_preparation_failed() {
  upload_outcome outcome;
  outcome.message = L"Error preparing for the upload";
  return outcome;
}

upload_outcome upload_finished(bool screenshot, bool worker_ok, const std::string& reply) {
  upload_outcome outcome;
  std::string link;
  if (!worker_ok) {
    outcome.message = L"Regrettably, upload failed";
  } else if (!accept_share_reply(screenshot, reply, &link)) {
    outcome.message = L"Upload failed. Server response:\n\n" + from_utf8(reply);
  } else {
    outcome.result = 1;
    if (screenshot) outcome.link = from_utf8(link);
  }
  return outcome;
}
