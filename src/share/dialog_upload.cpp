#include "share/dialog_upload.h"

#include "resource_ids.h"

dialog_upload::dialog_upload(share_ui_cb& ui, const share_package& package)
    : ui_(ui), package_(package), xchg_(new upload_xchg(ui.upload_target(), ui.upload_errors())) {
  add_hook(&colours_);
}

dialog_upload::~dialog_upload() { xchg_->release(); }

INT_PTR dialog_upload::run(HWND owner) { return run_modal(IDD_UPLOAD, owner); }

bool dialog_upload::on_init() {
  xchg_->data.clear();
  if (!build_package_zip(package_, xchg_->data, ui_.upload_errors())) {
    finish(upload_preparation_failed());
    return true;
  }
  xchg_->type = share_type(package_);
  set_text(upload_caption(package_.screenshot));
  if (const wchar_t* status = upload_status_text(package_.screenshot))
    SetDlgItemTextW(hwnd_, IDC_UPLOAD_STATUS, status);

  if (!xchg_->start(starter_)) {
    finish(upload_finished(package_.screenshot, false, std::string()));
    return true;
  }
  start_tick_ = GetTickCount();
  set_timer(upload_timer_id, upload_timer_ms);
  return true;
}

void dialog_upload::on_cancel() {
  kill_timer(upload_timer_id);
  end(IDCANCEL);
}

void dialog_upload::on_timer(UINT_PTR id) {
  if (id != upload_timer_id) return;
  SetDlgItemTextW(hwnd_, IDC_UPLOAD_SPINNER, next_spinner_frame());
  if (!upload_shown_long_enough(start_tick_, GetTickCount())) return;
  if (!xchg_->is_done()) return;
  kill_timer(upload_timer_id);
  // The worker has ended: the reply is complete and no longer written.
  finish(upload_finished(package_.screenshot, xchg_->succeeded(), xchg_->reply));
}

void dialog_upload::finish(const upload_outcome& outcome) {
  if (outcome.result != IDOK) {
    ui_.message_box(outcome.message, share_error_box_flags);
    end(outcome.result);
    return;
  }
  SetDlgItemTextW(hwnd_, IDC_UPLOAD_SPINNER, upload_done_text);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  Sleep(upload_done_pause_ms);  // long enough to read, short enough not to need a message loop
  if (!outcome.link.empty()) ui_.open_link(outcome.link);
  end(IDOK);
}

INT_PTR upload_share(share_ui_cb& ui, HWND owner, const share_package& package) {
  dialog_upload dialog(ui, package);
  return dialog.run(owner);
}

share_package screenshot_share_package(const screenshot_set& images, const std::string& report,
                                       const std::string& stack_scan_text) {
  share_package package;
  package.screenshot = true;
  package.screenshot_image = images.window;
  package.read_graph_image = images.read_graph;
  package.write_graph_image = images.write_graph;
  package.report_text = report;
  package.stack_scan_text = stack_scan_text;
  return package;
}
