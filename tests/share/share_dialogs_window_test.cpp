// The upload window and the share prompt as real dialogs, posting to the scripted responder.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "resource_ids.h"
#include "responder.h"
#include "share/dialog_ask_to_share.h"
#include "share/dialog_upload.h"
#include "share/share_prompt.h"
#include "report_files_fake.h"
#include "share_ui_fakes.h"
#include "support/text.h"
#include "window_driver.h"

namespace {

// A control's text as the window keeps it, without asking the (possibly busy) dialog thread.
std::wstring stored_text(HWND window) {
  wchar_t buffer[512] = {};
  const int n = InternalGetWindowText(window, buffer, 512);
  return std::wstring(buffer, n > 0 ? size_t(n) : 0);
}

RECT rect_in(HWND control, HWND dialog) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The size of a text in a control's font.
RECT text_size(HWND control, const wchar_t* text, UINT format) {
  RECT r{};
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text, -1, &r, format | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return r;
}

share_package report_package() {
  return report_share_package("Report one\r\n-------\r\n\r\nReport two\r\n", "scan log\n");
}

share_package screenshot_package() {
  return screenshot_share_package(
      {"BM" + std::string(200, 'S'), "BM" + std::string(100, 'R'), "BM" + std::string(100, 'W')}, "Report\r\n",
      "scan log\n");
}

// One upload to `path` on the responder; `script` (if any) drives the dialog once it shows. The
// result, the message boxes, the links opened and the last failure reported, in one line.
std::string run_upload(const std::string& path, const share_package& package, const std::function<void(HWND)>& script,
                       upload_xchg::thread_starter starter = upload_xchg::create_thread) {
  fake_files files;
  recording_share_ui ui(responder_target(path), files);
  dialog_upload dialog(ui, package);
  dialog.set_thread_starter(starter);
  std::unique_ptr<window_driver> driver;
  if (script) driver.reset(new window_driver(package.screenshot ? L"FOLVI Screenshot" : L"FOLVI Test Report", script));
  const INT_PTR result = dialog.run(nullptr);
  if (driver) EXPECT_TRUE(driver->finish()) << "the upload window never showed";
  std::string text = "result " + std::to_string(result);
  for (const auto& [box, flags] : ui.boxes) text += ", box " + std::to_string(flags) + " " + to_utf8(box);
  for (const std::wstring& link : ui.links) text += ", link " + to_utf8(link);
  const api_error_info e = ui.errors.last_error();
  return e.api.empty() ? text : text + ", " + e.api + " " + std::to_string(e.code);
}

void wait_gone(HWND dialog) {
  wait_until([&] { return !IsWindow(dialog); });
}

// Waits until the dialog has gone, noting whether its spinner said "-- done --" on the way.
bool wait_gone_after_done(HWND dialog) {
  bool done_seen = false;
  wait_until([&] {
    if (stored_text(GetDlgItem(dialog, IDC_UPLOAD_SPINNER)) == upload_done_text) done_seen = true;
    return !IsWindow(dialog);
  });
  return done_seen;
}

HANDLE no_thread(LPTHREAD_START_ROUTINE, void*) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

}  // namespace

TEST(upload_dialog, a_fast_report_share_stays_two_seconds_with_the_spinner_turning_and_opens_nothing) {
  bool spinning_after_a_second = false, done_seen = false;
  std::set<std::wstring> frames;
  std::wstring status;
  const std::string run = run_upload("upload/dialog", report_package(), [&](HWND dialog) {
    status = stored_text(GetDlgItem(dialog, IDC_UPLOAD_STATUS));
    RECT units{0, 0, 148, 39}, client{};
    MapDialogRect(dialog, &units);
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    EXPECT_GE(rect_in(GetDlgItem(dialog, IDCANCEL), dialog).top, client.bottom);  // Cancel is out of sight
    // The responder answers at once; the dialog still stays, its spinner turning.
    for (int i = 0; i < 20; ++i, Sleep(50)) frames.insert(stored_text(GetDlgItem(dialog, IDC_UPLOAD_SPINNER)));
    spinning_after_a_second = IsWindow(dialog) && IsWindowVisible(dialog) &&
                              stored_text(GetDlgItem(dialog, IDC_UPLOAD_SPINNER)) != upload_done_text;
    done_seen = wait_gone_after_done(dialog);
  });
  EXPECT_EQ(run, "result 1");
  EXPECT_EQ(status, L"Thanks! Uploading...");
  EXPECT_TRUE(spinning_after_a_second);
  EXPECT_GE(frames.size(), 3u);
  EXPECT_TRUE(done_seen);
  // The package given is the one posted (what a package holds is its own test).
  EXPECT_NE(responder_record("upload-dialog-report.body").find("stack_scan.txt"), std::string::npos);
}

TEST(upload_dialog, a_screenshot_share_opens_its_link_and_ok_alone_fails) {
  std::wstring status;
  // The reply's trailing line end is not part of the link.
  EXPECT_EQ(run_upload("upload/dialog", screenshot_package(),
                       [&](HWND dialog) {
                         status = stored_text(GetDlgItem(dialog, IDC_UPLOAD_STATUS));
                         EXPECT_TRUE(wait_gone_after_done(dialog));
                       }),
            "result 1, link https://localhost/s/0123456789abcdef0123456789abcdef");
  EXPECT_EQ(status, L"Uploading, please wait...");
  EXPECT_NE(responder_record("upload-dialog-screenshot.body").find("write_graph.bmp"), std::string::npos);
  EXPECT_EQ(
      run_upload("reply/ok", screenshot_package(), [](HWND dialog) { EXPECT_FALSE(wait_gone_after_done(dialog)); }),
      "result 2, box 65 Upload failed. Server response:\n\nOK");
}

TEST(upload_dialog, failures_say_so_and_esc_or_the_close_box_give_up_at_once) {
  EXPECT_EQ(run_upload("reply/status-500", report_package(), wait_gone),
            "result 2, box 65 Regrettably, upload failed, CheckHttpStatusCode 500");
  // A worker that cannot start fails the upload before the window shows.
  EXPECT_EQ(run_upload("record/never", report_package(), nullptr, no_thread),
            "result 2, box 65 Regrettably, upload failed, CreateThread 8");
  EXPECT_EQ(responder_record("never.body"), "");
  // Esc ends the dialog at once; the post goes on by itself and reaches the server.
  EXPECT_EQ(run_upload("record/after-esc", report_package(), [](HWND dialog) { post_key(dialog, VK_ESCAPE); }),
            "result 2");
  EXPECT_TRUE(wait_until([] { return !responder_record("after-esc.body").empty(); }));
  EXPECT_EQ(run_upload("record/after-close", screenshot_package(), [](HWND dialog) { post_close(dialog); }),
            "result 2");
}

namespace {

const std::string joined_reports = "First report\r\n-------\r\n\r\nSecond report\r\n";

// One prompt; `script` drives it and ends it.
INT_PTR run_prompt(fake_files& files, const std::function<void(HWND)>& script) {
  recording_share_ui ui(responder_target("upload/dialog"), files);
  window_driver driver(L"FOLVI Vezad", script);
  dialog_ask_to_share prompt(ui, joined_reports);
  const INT_PTR result = prompt.run(nullptr);
  EXPECT_TRUE(driver.finish()) << "the prompt never showed";
  EXPECT_TRUE(ui.boxes.empty());
  return result;
}

}  // namespace

TEST(ask_to_share, texts_layout_report_link_and_answers) {
  fake_files files;
  bool open_after_link = false;
  const INT_PTR result = run_prompt(files, [&](HWND dialog) {
    std::wstring texts;
    for (int id : {IDC_ASK_TITLE, IDC_ASK_SEE_REPORT, IDOK, IDCANCEL})
      texts += stored_text(GetDlgItem(dialog, id)) + L"|";
    EXPECT_EQ(texts, L"   Can you share your results with us?|Click here to see the report|OK|I'd rather not|");
    EXPECT_EQ(stored_text(GetDlgItem(dialog, IDC_ASK_BODY)), share_prompt_body);

    // The body is exactly as large as its text; the rest follows it, and the link shows all its words.
    HWND body = GetDlgItem(dialog, IDC_ASK_BODY);
    const RECT needed = text_size(body, share_prompt_body, DT_NOPREFIX | DT_EXPANDTABS);
    const RECT label =
        text_size(GetDlgItem(dialog, IDC_ASK_SEE_REPORT), L"Click here to see the report", DT_SINGLELINE);
    RECT client{};
    GetClientRect(dialog, &client);
    const RECT text = rect_in(body, dialog), link = rect_in(GetDlgItem(dialog, IDC_ASK_SEE_REPORT), dialog),
               band = rect_in(GetDlgItem(dialog, IDC_ASK_BAND), dialog), ok = rect_in(GetDlgItem(dialog, IDOK), dialog),
               no = rect_in(GetDlgItem(dialog, IDCANCEL), dialog);
    EXPECT_EQ(text.right - text.left, needed.right);
    EXPECT_EQ(text.bottom - text.top, needed.bottom);
    EXPECT_GE(link.top, text.bottom);
    EXPECT_GE(link.right - link.left, label.right);
    EXPECT_LE(link.right, text.right);
    EXPECT_GE(band.top, link.bottom);
    EXPECT_EQ(band.left, 0);
    EXPECT_EQ(band.right, client.right);
    EXPECT_EQ(band.bottom, client.bottom);
    EXPECT_GT(ok.top, band.top);
    EXPECT_LT(ok.bottom, band.bottom);
    EXPECT_LE(std::abs((ok.left + no.right) - client.right), 2);  // centred
    EXPECT_GE(client.right - text.right, text.left - 1);          // margins alike

    click(GetDlgItem(dialog, IDC_ASK_SEE_REPORT));
    open_after_link = IsWindowVisible(dialog) != 0;
    click(GetDlgItem(dialog, IDOK));
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(open_after_link);
  // The link shows the reports in Notepad (the file's name and the command are the viewer's test).
  ASSERT_EQ(files.disk.size(), 1u);
  EXPECT_EQ(files.disk.begin()->second, "\xEF\xBB\xBF" + joined_reports);
  EXPECT_NE(files.launched_program, L"");

  EXPECT_EQ(run_prompt(files, [](HWND dialog) { click(GetDlgItem(dialog, IDCANCEL)); }), 2);
  EXPECT_EQ(run_prompt(files, [](HWND dialog) { post_key(dialog, VK_ESCAPE); }), 2);
  EXPECT_EQ(run_prompt(files, [](HWND dialog) { post_close(dialog); }), 2);
}

TEST(offer_share, ok_uploads_the_reports_a_refusal_is_remembered_and_a_prompt_not_shown_changes_nothing) {
  const wchar_t* key = L"Software\\FolviBench-offer-share-test";
  RegDeleteKeyW(HKEY_CURRENT_USER, key);
  fake_files files;
  recording_share_ui ui(responder_target("record/offered"), files);
  {
    window_driver prompt(L"FOLVI Vezad", [](HWND dialog) { click(GetDlgItem(dialog, IDOK)); });
    window_driver upload(L"FOLVI Test Report", [](HWND dialog) { wait_until([&] { return !IsWindow(dialog); }); });
    offer_share(ui, nullptr, joined_reports, "scan log\n", 0, key);
    EXPECT_TRUE(prompt.finish());
    EXPECT_TRUE(upload.finish());
  }
  const std::string body = responder_record("offered.body");
  EXPECT_NE(body.find("name=\"type\"\r\n\r\nreport\r\n"), std::string::npos);
  EXPECT_NE(body.find("stack_scan.txt"), std::string::npos);
  EXPECT_TRUE(share_prompt_allowed(key));
  EXPECT_TRUE(ui.boxes.empty());

  // A prompt that cannot be shown (its owner is no window) is no answer.
  offer_share(ui, reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0)), joined_reports, "", 0, key);
  EXPECT_TRUE(share_prompt_allowed(key));

  {
    window_driver prompt(L"FOLVI Vezad", [](HWND dialog) { post_key(dialog, VK_ESCAPE); });
    offer_share(ui, nullptr, joined_reports, "", 0, key);
    EXPECT_TRUE(prompt.finish());
  }
  EXPECT_FALSE(share_prompt_allowed(key));  // a decline is a DWORD 0 (the registry format is the prompt's test)
  RegDeleteKeyW(HKEY_CURRENT_USER, key);
}
