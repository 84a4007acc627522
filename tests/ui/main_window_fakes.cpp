#include "main_window_fakes.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/paths.h"
#include "support/text.h"
#include "ui/test_config_controls.h"

void fake_window::add_rows(const raw_rows& rows, size_t first) {
  EXPECT_EQ(first, list_rows) << "rows are added in order";
  list_rows = rows.size();
}

bool fake_window::capture(capture_target target, captured_image& image) {
  captures.push_back(target);
  titles_during_capture.push_back(title);
  volume_during_capture.push_back(texts[IDC_MAIN_VOLUME]);
  if (int(captures.size()) - 1 == capture_fails_at) return false;
  const int size = 2 + int(target);
  image.width = size;
  image.height = size;
  image.pixels.assign(size_t(size * size), 0xFF000000u | uint32_t(target));
  return true;
}

void fake_window::deliver(main_window_model& model) {
  std::vector<std::pair<uintptr_t, intptr_t>> events;
  events.swap(posted);
  for (const auto& e : events) model.run_event(e.first, e.second);
}

std::string fake_window::state() {
  std::string s = "title " + to_utf8(title) + "\n";
  for (const auto& [id, text] : texts) s += "text " + std::to_string(id) + " " + to_utf8(text) + "\n";
  for (const auto& [id, on] : enabled) s += "enabled " + std::to_string(id) + " " + std::to_string(on) + "\n";
  for (const auto& [id, on] : visible)
    s += "shown " + std::to_string(id) + " " + std::to_string(on) + " (" + std::to_string(fades[id]) + " ms)\n";
  if (!views.empty())
    s += "view " + std::to_string(int(views.back().first)) + " over " +
         std::to_string(views.back().second.duration_ms) + " ms in steps of " +
         std::to_string(views.back().second.step_ms) + " ms, of " + std::to_string(views.size()) + "\n";
  s += "timers";
  for (unsigned t : timers) s += " " + std::to_string(t);
  s += "\nfocused " + std::to_string(focused) + "\nlocations";
  for (const std::wstring& item : location_items) s += " [" + to_utf8(item) + "]";
  s += " selected " + std::to_string(location_selected) + (location_enabled ? "" : " (disabled)") + "\npresets";
  for (const std::wstring& item : presets) s += " [" + to_utf8(item) + "]";
  s += (presets_shown ? " shown " : " hidden ") + std::to_string(presets_selected) + "\nlist " +
       std::to_string(list_rows) + " rows, cleared " + std::to_string(list_clears) + ", scrolled to " +
       std::to_string(int(scrolled_to)) + "\n";
  return s;
}

scan_outcome fake_env::take_scan() {
  scan_outcome o;
  o.stack = std::move(stack);
  o.log_text = "scan log\n";
  return o;
}

bool fake_env::start_run(const test_def& profile, test_runner_cb& cb) {
  ++runs_started;
  started_profile = profile;
  runner = &cb;
  run_done = false;
  return run_start_ok;
}

bool fake_env::join_run() {
  ++joins;
  if (during_join) during_join();
  run_done = true;
  return run_result;
}

void fake_env::share_screenshot(const screenshot_set& images, const std::string& report, const std::string& scan_text) {
  ++screenshot_shares;
  shared_images = images;
  shared_report = report;
  shared_scan_text = scan_text;
}

bool fake_locations::volume_path_name(const std::wstring& path, std::wstring& root) {
  root = parse_path(path).root;
  return !root.empty();
}

bool fake_locations::volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) {
  serial = root == L"C:\\" ? 0x1234ABCD : 0x0BADF00D;
  file_system = L"NTFS";
  return true;
}

std::unique_ptr<storage_stack> two_local_drives() {
  std::unique_ptr<storage_stack> s(new storage_stack);
  const std::pair<const wchar_t*, uint32_t> volumes[] = {{L"C:\\", 0x1234ABCD}, {L"D:\\", 0x0BADF00D}};
  for (const auto& v : volumes) {
    volume_info info;
    info.mount_points = {v.first};
    info.has_info = true;
    info.serial_number = v.second;
    info.file_system = L"NTFS";
    s->volumes.push_back(info);
  }
  return s;
}

void main_window_rig::open() {
  env.stack = two_local_drives();
  model.init(10);
  env.scan_done = true;
  model.timer(scan_poll_timer.id);
}

void main_window_rig::choose_small_profile() {
  window.profile_dialog = [](test_config_model& dialog) {
    quiet_dialog d;
    dialog.init(d);
    dialog.profile_chosen(d, test_config_model::custom_index);
    EXPECT_TRUE(dialog.edit_changed(d, 1109, L"64K"));
    EXPECT_TRUE(dialog.edit_changed(d, 1095, L"1 2"));
    return dialog.ok(d);
  };
  model.command(IDC_MAIN_CHANGE_PROFILE, control_event::clicked, 0, false);
  model.command(IDC_MAIN_PRESETS, control_event::confirmed, 3, false);
  window.profile_dialog = nullptr;
}

void main_window_rig::start_small_run() {
  open();
  choose_small_profile();
  press_start();
}

void main_window_rig::look(const std::string& moment) {
  seen += "== " + moment + " (phase " + std::to_string(int(model.phase())) + ")\n" + window.state();
  for (const fake_window::box& b : window.boxes) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "%08X", unsigned(b.flags));
    seen += "box " + to_utf8(b.caption) + " " + flags + ": " + to_utf8(b.text) + "\n";
  }
  window.boxes.clear();
  seen += "runs " + std::to_string(env.runs_started) + " of " + to_utf8(env.started_profile.name) + " at " +
          to_utf8(env.started_profile.path) + (env.started_profile.remote ? " (remote)" : "") + ", joined " +
          std::to_string(env.joins) + "; profile " + to_utf8(model.profile().profile().name) + ", item " +
          std::to_string(model.profile().current_item()) + "; ended " + std::to_string(window.ended) + ", asked " +
          std::to_string(env.share_questions) + ", offered " + std::to_string(env.offered.size()) + "\n";
}

void main_window_rig::phase(bool read) {
  env.runner->on_phase(read);
  window.deliver(model);
}

bool main_window_rig::test_done(bool read, double rate, bool ok) {
  test_run r;
  r.read = read;
  r.buffer_count = 1;
  r.buffer_size = 65536;
  r.open_flags = mode_flags[0];
  r.ok = ok;
  r.rate = rate;
  if (!ok) {
    r.error.api = "ReadFile";
    r.error.code = 23;
  }
  return env.runner->on_test_done(r);
}

void main_window_rig::end_run(bool result) {
  env.run_result = result;
  env.run_done = true;
}

void main_window_rig::complete_reads() {
  phase(true);
  for (int i = 0; i < 6; ++i) test_done(true, 10e6 + i);
  end_run(true);
  tick();
}
