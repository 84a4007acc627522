#pragma once

#include <cstddef>

// The rule tables behind display names. A null field means "no condition"; every comparison
// against them is case-insensitive.

template <typename row>
struct name_table {
  const row* rows;
  size_t count;
  const row* begin() const { return rows; }
  const row* end() const { return rows + count; }
};

// Model prefixes that name the maker without changing the model.
struct model_pattern_row {
  const char* prefix;
  const char* next_chars;       // the character after the prefix, upper-cased, is one of these
  const char* excluded_ending;  // exact
  const char* vendor;
};
extern const name_table<model_pattern_row> model_pattern_table;

// Prefixes cut off the model, tried in order; they name the maker.
struct model_prefix_row {
  const char* vendor;
  const char* prefixes[3];
};
extern const name_table<model_prefix_row> model_prefix_table;

// Vendor fields that name a bridge, a bus or the model's own start rather than the maker.
struct generic_vendor_row {
  const char* vendor_equals;
  const char* vendor_starts;
  const char* model_starts;
};
extern const name_table<generic_vendor_row> generic_vendor_table;

// Makers whose spelling is taken from here whatever case they are reported in.
struct vendor_name_row {
  const char* name;
};
extern const name_table<vendor_name_row> vendor_name_table;

// USB enclosures and bridges that report their own name as the vendor.
struct enclosure_row {
  const char* reported;
  const char* display;
};
extern const name_table<enclosure_row> enclosure_table;

// Generic flash drive models, with the spelling shown.
struct flash_name_row {
  const char* name;
};
extern const name_table<flash_name_row> flash_name_table;

// OCZ product families, with the spelling shown.
struct model_family_row {
  const char* name;
};
extern const name_table<model_family_row> model_family_table;
