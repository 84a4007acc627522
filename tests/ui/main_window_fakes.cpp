#include "main_window_fakes.h"

#include <gtest/gtest.h>

#include "support/paths.h"
#include "support/text.h"
#include "ui/test_config_controls.h"

namespace {
std::string narrow(const std::wstring& s) { return to_utf8(s); }
}  // namespace

bool fake_files::temp_folder(std::wstring& folder) {
  folder = L"C:\\Users\\A&B Smith\\Temp\\";
  return temp_ok;
}
bool fake_files::system_folder(std::wstring& folder) {
  folder = L"C:\\windows\\system32";
  return system_ok;
}
bool fake_files::windows_folder(std::wstring& folder) {
  folder = L"C:\\windows";
  return windows_ok;
}

create_result fake_files::create_new(const std::wstring& path, const std::string& bytes) {
  calls.push_back("create " + narrow(path));
  if (exists(path)) return create_result::exists;
  if (create_fails_after == 0) return create_result::failed;
  if (create_fails_after > 0) --create_fails_after;
  disk[path] = bytes;
  return create_result::created;
}

bool fake_files::replace(const std::wstring& from, const std::wstring& to) {
  calls.push_back("replace " + narrow(from) + " -> " + narrow(to));
  if (!replace_ok || !disk.count(from)) return false;
  disk[to] = disk[from];
  disk.erase(from);
  return true;
}

bool fake_files::remove(const std::wstring& path) {
  calls.push_back("remove " + narrow(path));
  return disk.erase(path) != 0;
}

void fake_files::change_notepad_settings() {
  calls.push_back("change settings");
  settings_changed = true;
}

void fake_files::restore_notepad_settings() {
  calls.push_back("restore settings");
  settings_changed = false;
}

bool fake_files::launch_hidden(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) {
  calls.push_back(std::string("launch") + (settings_changed ? " with settings" : ""));
  launched_program = program;
  launched_parameters = parameters;
  launched_folder = folder;
  return launch_ok;
}

void fake_window::add_rows(const raw_rows& rows, size_t first) {
  EXPECT_EQ(first, list_rows) << "rows are added in order";
  list_rows = rows.size();
}

bool fake_window::capture(capture_target target, captured_image& image) {
  captures.push_back(target);
  titles_during_capture.push_back(title);
  volume_during_capture.push_back(texts[id_volume_line]);
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

scan_outcome fake_env::take_scan() {
  scan_outcome o;
  o.stack = std::move(stack);
  o.log_text = scan_log;
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
  model.command(id_change_profile, control_event::clicked, 0, false);
  model.command(id_presets, control_event::confirmed, 3, false);
  window.profile_dialog = nullptr;
}

void main_window_rig::start_small_run() {
  open();
  choose_small_profile();
  press_start();
}

void main_window_rig::phase(bool read) {
  env.runner->on_phase(read);
  window.deliver(model);
}

void main_window_rig::test_done(bool read, double rate, bool ok) {
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
  env.runner->on_test_done(r);
}

void main_window_rig::end_run(bool result) {
  env.run_result = result;
  env.run_done = true;
}
