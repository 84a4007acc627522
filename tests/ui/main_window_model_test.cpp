#include "ui/main_window_model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

#include "golden.h"
#include "main_window_fakes.h"
#include "support/text.h"

namespace {

const std::map<std::string, int> command_ids{{"start", IDC_MAIN_START},
                                             {"location", IDC_MAIN_LOCATION},
                                             {"switch", IDC_MAIN_SWITCH_VIEW},
                                             {"screengrab", IDC_MAIN_SCREENGRAB},
                                             {"exit", ID_FILE_EXIT},
                                             {"homepage", ID_HELP_HOMEPAGE},
                                             {"methodology", ID_HELP_METHODOLOGY},
                                             {"about", ID_HELP_ABOUT},
                                             {"units1000", ID_UNITS_1000},
                                             {"units1024", ID_UNITS_1024},
                                             {"view_report", ID_SCREENGRAB_VIEW_REPORT},
                                             {"save_report", ID_SCREENGRAB_SAVE_REPORT},
                                             {"share_screenshot", ID_SCREENGRAB_SHARE_SCREENSHOT}};
const std::map<std::string, control_event> events{
    {"click", control_event::clicked}, {"drop", control_event::dropped_down}, {"confirm", control_event::confirmed}};

// Plays a case of tests/data/ui/main_window_runs.txt on a fresh window: each line an action of the
// user, the run's thread or the system, or a question to the model; answers follow "->".
struct player {
  std::unique_ptr<main_window_rig> rig{new main_window_rig};
  std::vector<std::pair<uintptr_t, intptr_t>> kept;  // posted events not delivered
  std::string report;                                // the last report as last asked
  std::string seen;

  void act(const std::string& line) {
    std::istringstream in(line);
    std::string verb, rest;
    in >> verb;
    std::getline(in >> std::ws, rest);
    const std::vector<std::string> args = words(rest);
    main_window_rig& r = *rig;
    main_window_model& m = r.model;
    std::string answer;
    auto said = [&](bool b) { answer += b ? " 1" : " 0"; };
    if (verb == "open") r.open();
    else if (verb == "drives") r.env.stack = two_local_drives();
    else if (verb == "init") m.init(size_t(std::atoi(rest.c_str())));
    else if (verb == "scan") {
      r.env.scan_done = rest == "done";
      m.timer(scan_poll_timer.id);
    } else if (verb == "small") r.choose_small_profile();
    else if (verb == "start") r.press_start(rest == "ctrl");
    else if (verb == "tick") r.tick();
    else if (verb == "timer") m.timer(rest == "focus" ? focus_start_timer.id : screenshot_timer.id);
    else if (verb == "forget_focus_timer") r.window.timers.erase(focus_start_timer.id);
    else if (verb == "prepared") said(r.env.runner->on_init_progress(std::stoull(args[0]), std::stoull(args[1])));
    else if (verb == "phase") {
      said(r.env.runner->on_phase(args[0] == "read"));
      if (args.size() == 1) r.window.deliver(m);  // else the events stay posted
    } else if (verb == "keep_events") kept.swap(r.window.posted);
    else if (verb == "stale_events")
      for (const auto& e : kept) m.run_event(e.first, e.second);
    else if (verb == "cancel_again") m.run_event(run_event_cancel_again, kept.at(0).second);
    else if (verb == "done" && args[0] == "default") said(r.env.runner->on_test_done(test_run()));
    else if (verb == "done")
      for (size_t i = 1; i < args.size(); ++i)
        said(r.test_done(args[0] == "read", std::atof(args[i].c_str()), args[i].back() != '!'));
    else if (verb == "complete_reads") r.complete_reads();
    else if (verb == "end") r.end_run(rest == "ok");
    else if (verb == "run_done") r.env.run_done = true;
    else if (verb == "no_thread") r.env.run_start_ok = false;
    else if (verb == "no_share_prompt") r.env.share_allowed = false;
    else if (verb == "join_does") {
      r.env.during_join = [this, rest] {
        std::istringstream steps(rest);
        for (std::string step; std::getline(steps >> std::ws, step, ';');) act(step);
      };
    } else if (verb == "command") {
      const int id = command_ids.count(args[0]) ? command_ids.at(args[0]) : std::atoi(args[0].c_str());
      said(m.command(id, args.size() > 1 ? events.at(args[1]) : control_event::clicked,
                     args.size() > 2 ? std::atoi(args[2].c_str()) : 0, false));
    } else if (verb == "folder") m.folder_picked(from_utf8(rest));
    else if (verb == "exists") r.locations.existing.insert(from_utf8(rest));
    else if (verb == "gone") r.locations.existing.erase(from_utf8(rest));
    else if (verb == "remote") r.locations.remote_roots.insert(from_utf8(rest));
    else if (verb == "save_path") r.window.save_path = from_utf8(rest);
    else if (verb == "close") m.close(rest == "forced");
    else if (verb == "look") r.look(rest);
    else if (verb == "report") {
      const std::string& last = m.reports().last_report;
      const size_t at = rest.empty() ? std::string::npos : last.find(rest);
      answer = rest.empty() ? (last == report ? " unchanged" : " changed")
                            : " " + (at == std::string::npos ? "none" : last.substr(at, last.find('\r', at) - at));
      report = last;
    } else if (verb == "model") {
      const results_model& res = m.results();
      answer = " planned " + std::to_string(m.graph(true).planned()) + "/" + std::to_string(m.graph(false).planned()) +
               ", results " + std::to_string(res.read_results().size()) + "/" +
               std::to_string(res.write_results().size()) + ", reports " +
               std::to_string(m.reports().shareable_reports.size()) + ", view " + std::to_string(int(m.view())) +
               ", units " + std::to_string(m.decimal_units()) + std::to_string(m.graph(true).decimal_units()) +
               std::to_string(m.graph(false).decimal_units()) + ", repaints " +
               std::to_string(r.window.graph_repaints[true]) + "/" + std::to_string(r.window.graph_repaints[false]) +
               ", scan " + r.env.scan_version + " " + m.scan_text().substr(0, m.scan_text().size() - 1) + ", titles " +
               to_utf8(m.graph(true).title()) + "/" + to_utf8(m.graph(false).title());
    } else if (verb == "row") answer = " " + to_utf8(m.results().rows().rows().at(std::stoul(rest)).buffers);
    else if (verb == "offered") {
      for (const auto& [joined, scan] : r.env.offered)
        answer +=
            std::string(joined == join_reports(m.reports().shareable_reports) ? " the joined reports" : " other") +
            " with " + scan.substr(0, scan.size() - 1);
    } else if (verb == "urls")
      for (const std::wstring& url : r.env.urls) answer += " " + to_utf8(url);
    else if (verb == "files") {
      const auto saved = r.env.files.disk.find(r.window.save_path);
      answer = " " + std::to_string(r.env.files.calls.size()) + " calls, launched " +
               to_utf8(r.env.files.launched_program) + ", saved as " + to_utf8(r.window.last_save.default_name) +
               (saved != r.env.files.disk.end() && saved->second == "\xEF\xBB\xBF" + m.reports().last_report
                    ? ", the report with its byte order mark"
                    : "");
    } else ADD_FAILURE() << "unknown action: " << line;
    seen += "> " + line + (answer.empty() ? "" : " ->" + answer) + "\n" + r.seen;
    r.seen.clear();
  }
};

// The window's opening, whole runs, cancels, failed runs, locations, views, stale events, closing,
// help and the report's actions, each case on a fresh window, compared with what it must show.
TEST(main_window_model, runs_locations_views_closing_and_commands) {
  const std::string cases = test_data_text("ui/main_window_runs.txt");
  std::string seen;
  std::istringstream lines(cases);
  std::unique_ptr<player> p;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("== ", 0) == 0) {
      if (p) seen += p->seen;
      p.reset(new player);
      p->seen = line + "\n";
    } else if (!line.empty() && line[0] != '#' && p) {
      p->act(line);
    }
  }
  if (p) seen += p->seen;
  expect_golden(seen, "ui/main_window_runs_seen.txt");
}

}  // namespace
