#include "ui/test_config_model.h"

#include "bench/profile_limits.h"
#include "bench/profile_text.h"
#include "bench/test_presets.h"
#include "support/format_string.h"
#include "support/text.h"

namespace {
// The engine hands a buffer size to the system as 32 bits.
constexpr uint64_t largest_buffer_size = 0xFFFFFFFFull;

bool all_sizes_usable(const std::vector<uint64_t>& sizes) {
  for (uint64_t s : sizes)
    if (s == 0 || s > largest_buffer_size) return false;
  return true;
}

bool all_counts_usable(const std::vector<uint32_t>& counts) {
  for (uint32_t c : counts)
    if (c == 0 || c > most_buffers) return false;
  return true;
}

uint32_t& mode_mask(test_def& def, bool read) { return read ? def.read_modes : def.write_modes; }

// A field keeps its item index plus one; "Access pattern" item 0 is sequential.
int choice_item(config_choice choice, const test_def& def) {
  switch (choice) {
    case choice_access_pattern: return def.sequential ? 0 : 1;
    case choice_cache_control: return int(def.cache_trim) - 1;
    case choice_test_order: return int(def.order) - 1;
    case choice_data_pattern: return int(def.fill) - 1;
  }
  return -1;
}

void set_choice(config_choice choice, int item, test_def& def) {
  switch (choice) {
    case choice_access_pattern: def.sequential = item == 0; break;
    case choice_cache_control: def.cache_trim = uint32_t(item + 1); break;
    case choice_test_order: def.order = uint32_t(item + 1); break;
    case choice_data_pattern: def.fill = uint32_t(item + 1); break;
  }
}
}  // namespace

bool parse_config_field(config_field field, const std::string& text, test_def& def) {
  // Parsed into a scratch value first: a field never holds half of an invalid text.
  switch (field) {
    case field_buffer_sizes: {
      std::vector<uint64_t> sizes;
      if (!parse_size_list(text, sizes) || !all_sizes_usable(sizes)) return false;
      def.buffer_sizes = sizes;
      return true;
    }
    case field_buffer_counts: {
      std::vector<uint32_t> counts;
      if (!parse_number_list(text, counts) || !all_counts_usable(counts)) return false;
      def.buffer_counts = counts;
      return true;
    }
    case field_memory_cap: {
      uint64_t cap;
      if (!parse_size(text, cap)) return false;
      def.memory_cap = cap;  // 0: no cap
      return true;
    }
    case field_duration: {
      uint32_t ms;
      if (!parse_duration(text, ms) || ms == 0) return false;
      def.duration = ms;
      return true;
    }
    case field_file_size: {
      uint64_t size;
      if (!parse_size(text, size) || size == 0) return false;
      def.file_size = size;
      return true;
    }
    case field_init_time: {
      uint32_t factor;
      if (!parse_number(text, factor)) return false;
      def.init_time_factor = factor;  // 0: no limit
      return true;
    }
  }
  return false;
}

std::wstring config_field_text(config_field field, const test_def& def) {
  std::string text;
  switch (field) {
    case field_buffer_sizes:
      for (uint64_t s : def.buffer_sizes) text += format_size(s) + " ";
      break;
    case field_buffer_counts:
      for (uint32_t c : def.buffer_counts) text += format_string("%u ", unsigned(c));
      break;
    case field_memory_cap: text = format_size(def.memory_cap); break;
    case field_duration: text = format_duration(def.duration); break;
    case field_file_size: text = format_size(def.file_size); break;
    case field_init_time: text = format_string("%u", unsigned(def.init_time_factor)); break;
  }
  return from_utf8(text);
}

test_config_model::test_config_model() {
  profiles_[custom_index].reset(2);
  profiles_[custom_index].name = custom_profile_name;
  for (int preset = 0; preset < preset_count; ++preset) profiles_[preset + 1].reset(preset);
}

void test_config_model::set_custom(const test_def& custom) {
  profiles_[custom_index] = custom;
  profiles_[custom_index].name = custom_profile_name;
}

void test_config_model::init(test_config_view_cb& view) {
  loading_ = true;
  for (const config_combo& c : config_combos)
    view.fill_combo(c.id, std::vector<std::wstring>(c.items, c.items + c.item_count));
  for (const config_hint& h : config_hints) view.set_hint(h.id, h.text);
  std::vector<std::wstring> names;
  for (const test_def& p : profiles_) names.push_back(p.name);
  view.fill_combo(id_profile_list, names);
  view.select_item(id_profile_list, current_);
  loading_ = false;
  load(view);
}

void test_config_model::load(test_config_view_cb& view) {
  loading_ = true;
  const test_def& def = profiles_[current_];
  for (const config_edit& e : config_edits) view.set_text(e.id, config_field_text(e.field, def));
  for (const config_mode_box& b : config_mode_boxes)
    view.set_check(b.id, ((b.read ? def.read_modes : def.write_modes) >> b.bit) & 1);
  view.set_check(id_flush, def.flush);
  for (const config_combo& c : config_combos) {
    const int item = choice_item(c.choice, def);
    view.select_item(c.id, item >= 0 && item < c.item_count ? item : -1);
  }
  loading_ = false;
  parse_errors_ = 0;
  update_error_mask();
  update_summary(view);
}

void test_config_model::update_error_mask() {
  // Buffers beyond what one test can have are the memory cap's fault: it is what bounds them.
  const bool too_much = largest_buffer_pair(profiles_[current_]).bytes() > most_buffer_memory;
  error_mask_ = parse_errors_ | (too_much ? 1u << field_memory_cap : 0u);
}

void test_config_model::update_summary(test_config_view_cb& view) {
  const profile_summary s = summarize_profile(profiles_[current_], error_mask_);
  view.set_text(id_read_tests, from_utf8(s.read_tests));
  view.set_text(id_write_tests, from_utf8(s.write_tests));
  view.set_text(id_read_time, from_utf8(s.read_time));
  view.set_text(id_write_time, from_utf8(s.write_time));
  view.set_text(id_total_time, from_utf8(s.total_time));
}

void test_config_model::make_custom(test_config_view_cb& view) {
  if (current_ == custom_index) return;
  profiles_[custom_index] = profiles_[current_];
  profiles_[custom_index].name = custom_profile_name;
  current_ = custom_index;
  view.select_item(id_profile_list, custom_index);
}

bool test_config_model::edit_changed(test_config_view_cb& view, int id, const std::wstring& text) {
  const config_edit* edit = find_config_edit(id);
  if (!edit) return false;
  if (loading_) return true;
  make_custom(view);
  const uint32_t bit = 1u << edit->field;
  if (parse_config_field(edit->field, to_utf8(text), profiles_[custom_index])) parse_errors_ &= ~bit;
  else parse_errors_ |= bit;
  update_error_mask();
  update_summary(view);
  return true;
}

bool test_config_model::check_changed(test_config_view_cb& view, int id, bool checked) {
  const config_mode_box* box = find_config_mode_box(id);
  if (!box && id != id_flush) return false;
  if (loading_) return true;
  make_custom(view);
  test_def& def = profiles_[custom_index];
  if (box) {
    uint32_t& mask = mode_mask(def, box->read);
    mask = checked ? mask | (1u << box->bit) : mask & ~(1u << box->bit);
  } else {
    def.flush = checked;
  }
  update_summary(view);
  return true;
}

bool test_config_model::choice_changed(test_config_view_cb& view, int id, int item) {
  const config_combo* combo = find_config_combo(id);
  if (!combo) return false;
  // No selection (-1) or an item the list does not have changes nothing.
  if (loading_ || item < 0 || item >= combo->item_count) return true;
  make_custom(view);
  set_choice(combo->choice, item, profiles_[custom_index]);
  update_summary(view);
  return true;
}

void test_config_model::profile_chosen(test_config_view_cb& view, int item) {
  if (loading_ || item < 0 || item >= profile_count || item == current_) return;
  current_ = item;
  load(view);
}

int test_config_model::first_invalid_id() const {
  for (const config_edit& e : config_edits)
    if (error_mask_ & (1u << e.field)) return e.id;
  return 0;
}

bool test_config_model::ok(test_config_view_cb& view) {
  if (error_mask_) {
    view.draw_attention(first_invalid_id());
    return false;
  }
  test_def& custom = profiles_[custom_index];
  custom.update_counts();
  if (current_ == custom_index && custom.read_tests == 0 && custom.write_tests == 0) {
    view.message_box(no_tests_text, no_tests_caption, no_tests_box_flags);
    return false;
  }
  view.end_dialog(id_ok);
  return true;
}

void test_config_model::cancel(test_config_view_cb& view) { view.end_dialog(id_cancel); }
