#pragma once

#include <cstdint>

// Colours of the result graphs, 0xAARRGGBB.
struct graph_style {
  uint32_t header;
  uint32_t background;
  uint32_t grid;
  uint32_t title_active;  // a phase of this direction has begun
  uint32_t title_idle;
  uint32_t caption;     // progress and unit label
  uint32_t zero_value;  // "0.0" when nothing completed above 0
  uint32_t best_running, best_done;
  uint32_t bar_running, bar_done;
  uint32_t failed_running, failed_done;
  uint32_t new_best_start;  // a new best bar fades in from here
};
extern const graph_style graph_colours;

// Geometry in pixels; free to choose, the proportions below are not.
constexpr double graph_padding = 6.0;
constexpr double graph_bar_fill = 0.85;  // of the plot height, for the scale's peak
constexpr double graph_failed_height = 3.0;
constexpr double graph_min_grid_slot = 2.0;  // narrower slots get no grid line, bars overlap

// Animation: the repaint timer of a graph window, and when a moving value counts as arrived.
constexpr unsigned graph_timer_id = 1;
constexpr unsigned graph_timer_ms = 100;
constexpr int graph_fade_snap = 2;               // channel steps of 0..255
constexpr double graph_scale_snap = 1.0 / 1024;  // of the best rate: under a quarter pixel

extern const wchar_t graph_title_placeholder[];
extern const wchar_t graph_read_title[];
extern const wchar_t graph_write_title[];
