#pragma once

#include <windows.h>

#include "share/share_package.h"
#include "share/share_ui_cb.h"
#include "share/upload_progress.h"
#include "share/upload_xchg.h"
#include "toolkit/sfc_dialog.h"
#include "toolkit/white_dialog.h"
#include "toolkit/bmp_file.h"

// The small progress window of an upload (dialog 102): packs the share, posts it on the
// exchange's worker thread and turns a text spinner until the worker has ended, but at least
// two seconds. A screenshot share's link is opened in the browser. Esc and the close box give
// up at once; the worker then finishes on its own, holding its own reference on the exchange.
class dialog_upload : public sfc_dialog {
 public:
  // `package` must outlive the dialog's run.
  dialog_upload(share_ui_cb& ui, const share_package& package);
  ~dialog_upload() override;

  // Runs template 102 over `owner`: 1 after a successful upload, 2 after a failure or Cancel,
  // -1 when the template cannot be loaded.
  INT_PTR run(HWND owner);

  // How the worker thread is started (a thread that cannot start fails the upload at once).
  void set_thread_starter(upload_xchg::thread_starter starter) { starter_ = starter; }

 protected:
  bool on_init() override;
  void on_ok() override {}  // Enter does not end the upload
  void on_cancel() override;
  void on_timer(UINT_PTR id) override;

 private:
  void finish(const upload_outcome& outcome);

  share_ui_cb& ui_;
  const share_package& package_;
  upload_xchg* xchg_;
  upload_xchg::thread_starter starter_ = upload_xchg::create_thread;
  white_dialog_colours colours_;
  DWORD start_tick_ = 0;
};

// Runs the upload dialog for one share over `owner`; its result.
INT_PTR upload_share(share_ui_cb& ui, HWND owner, const share_package& package);

// A screenshot share: the main window's three images, its last report and the storage-scan log.
share_package screenshot_share_package(const screenshot_set& images, const std::string& report,
                                       const std::string& stack_scan_text);
