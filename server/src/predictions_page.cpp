#include "predictions_page.h"

#include <cstdio>
#include <set>

#include "html_text.h"
#include "report_runs.h"
#include "static_pages.h"
#include "strategy_api.h"
#include "svg_chart.h"

namespace {

// One decimal at most: "68.6%", "100%".
std::string percent(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value * 100);
  std::string shown = text;
  if (shown.size() > 2 && shown.compare(shown.size() - 2, 2, ".0") == 0) shown.resize(shown.size() - 2);
  return shown + "%";
}

std::string cell(const std::string& text) { return "<td>" + text + "</td>"; }

std::string figures_cells(const method_figures& figures) {
  if (figures.evaluated == 0)
    return "<td colspan=\"3\" class=\"meta\">not measured (" + std::to_string(figures.unmeasured) + ")</td>";
  return cell(percent(figures.median)) + cell(percent(figures.p10)) + cell(percent(figures.within_5_percent));
}

const char* method_names[] = {"This model", "Best most often", "Fixed 1 MiB x 8, buf"};

std::string evaluation_chart(direction which, const direction_evaluation& evaluation) {
  std::vector<chart_bar> bars;
  const method_figures* methods[] = {&evaluation.overall.model, &evaluation.overall.most_often,
                                     &evaluation.overall.fixed};
  for (int i = 0; i < 3; ++i)
    bars.push_back({method_names[i], methods[i]->median, methods[i]->p10, methods[i]->evaluated == 0, i});
  return bar_chart_svg(std::string("Median ") + direction_label(which) + " efficiency (line: 10th percentile)", bars);
}

std::string evaluation_table(const direction_evaluation& evaluation) {
  std::string html =
      "<table class=\"figures\"><thead><tr><th rowspan=\"2\">Held-out observations</th><th rowspan=\"2\">Count</th>";
  for (const char* name : method_names) html += "<th colspan=\"3\">" + std::string(name) + "</th>";
  html += "</tr><tr>";
  for (int i = 0; i < 3; ++i) html += "<th>median</th><th>10th pct.</th><th>within 5%</th>";
  html += "</tr></thead><tbody>\n";
  auto row = [&](const std::string& name, const level_figures& figures) {
    uint32_t count = figures.model.evaluated + figures.model.unmeasured;
    html += "<tr>" + cell(name) + cell(std::to_string(count));
    if (count == 0) html += "<td colspan=\"9\" class=\"meta\">none</td></tr>\n";
    else
      html +=
          figures_cells(figures.model) + figures_cells(figures.most_often) + figures_cells(figures.fixed) + "</tr>\n";
  };
  row("all, overall", evaluation.overall);
  for (basis_level level : basis_levels)
    row(std::string("answered from ") + level_label(level), evaluation.by_level[static_cast<size_t>(level)]);
  return html + "</tbody></table>\n";
}

std::string direction_section(direction which, const direction_evaluation& evaluation) {
  std::string html = "<h3>" + std::string(which == direction::read ? "Reading" : "Writing") + "</h3>\n";
  html += "<p>" + std::to_string(evaluation.observations) + " observations measured " + direction_label(which) +
          "s. Best most often: " +
          (evaluation.most_often ? html_escape(strategy_text(*evaluation.most_often)) : std::string("none yet")) +
          ".</p>\n";
  return html + evaluation_chart(which, evaluation) + evaluation_table(evaluation);
}

std::string recommendation_cells(const strategy_model& model, direction which, const std::string& kind) {
  const observation_group* group = model.group(which, basis_level::kind, {kind, "", "", "", ""});
  if (!group || !group->choice) return "<td colspan=\"3\" class=\"meta\">no measurements</td>";
  const strategy_choice& choice = *group->choice;
  std::string count = std::to_string(group->observations);
  if (group->observations < enough_observations) count += " (too few to answer from)";
  return cell(html_escape(strategy_text(model.strategies()[choice.id]))) +
         cell(percent(choice.expected_efficiency) + ", " + percent(choice.within_5_percent) + " within 5%") +
         cell(count);
}

std::string kinds_table(const strategy_model& model) {
  std::set<std::string> kinds;
  for (const observation& one : model.observations())
    if (level_key(basis_level::kind, one.device)) kinds.insert(one.device.type);
  if (kinds.empty()) return "<p class=\"meta\">No device kinds yet.</p>\n";
  std::string html =
      "<table class=\"figures\"><thead><tr><th rowspan=\"2\">Device kind</th><th colspan=\"3\">Read</th>"
      "<th colspan=\"3\">Write</th></tr><tr><th>strategy</th><th>expected efficiency</th><th>observations</th>"
      "<th>strategy</th><th>expected efficiency</th><th>observations</th></tr></thead><tbody>\n";
  for (const std::string& kind : kinds)
    html += "<tr>" + cell(html_escape(kind)) + recommendation_cells(model, direction::read, kind) +
            recommendation_cells(model, direction::write, kind) + "</tr>\n";
  return html + "</tbody></table>\n";
}

std::string skipped_text(const model_snapshot& snapshot) {
  uint32_t skipped = 0;
  std::string reasons;
  for (const auto& [reason, count] : snapshot.skipped) {
    skipped += count;
    reasons += (reasons.empty() ? "" : ", ") + std::to_string(count) + " " + html_escape(reason);
  }
  std::string html = "<p>" + std::to_string(snapshot.model.runs()) + " reports taken into " +
                     std::to_string(snapshot.model.observations().size()) + " observations; " +
                     std::to_string(skipped) + " reports skipped" + (reasons.empty() ? "" : " (" + reasons + ")");
  if (snapshot.left_out)
    html +=
        "; " + std::to_string(snapshot.left_out) + (snapshot.synthetic ? " real" : " synthetic") + " reports left out";
  return html + ".</p>\n";
}

std::string direction_verdict(direction which, const report_run& run, const model_snapshot& snapshot) {
  const std::vector<measured_strategy>& tests = run.tests(which);
  const measured_strategy* best = nullptr;
  for (const measured_strategy& test : tests)
    if (test.rate > 0 && (!best || test.rate > best->rate)) best = &test;
  std::string html =
      "<div><div class=\"meta\">" + std::string(which == direction::read ? "Reading" : "Writing") + "</div>";
  auto answer = snapshot.model.predict(which, run.device);
  if (!answer) return html + "<p>No recommendation yet: there are no observations to learn from.</p></div>";
  html += "<div class=\"io\">" + html_escape(strategy_text(answer->what)) + "</div><p>Expected " +
          percent(answer->choice.expected_efficiency) + " of the best rate; within 5% of the best in " +
          percent(answer->choice.within_5_percent) + " of " + std::to_string(answer->choice.measured) +
          " observations (by " + level_label(answer->level) + ").</p>";
  if (!best) return html + "<p>This run has no completed test to compare.</p></div>";
  html += "<p>This run's best: " + html_escape(strategy_text(best->what)) + " at " +
          decimal_text(static_cast<double>(best->rate) / 1e6) + " MBps. ";
  for (const measured_strategy& test : tests)
    if (test.what == answer->what)
      return html + "The recommended strategy reached " +
             percent(static_cast<double>(test.rate) / static_cast<double>(best->rate)) + " of it here.</p></div>";
  return html + "This run did not measure the recommended strategy.</p></div>";
}

}  // namespace

std::string synthetic_notice_html(const model_snapshot& snapshot) {
  if (!snapshot.synthetic) return std::string();
  return "<p class=\"notice\">Synthetic data: every figure here comes from generated test reports, not from "
         "real benchmark runs.</p>\n";
}

std::string predictions_page_html(const model_snapshot& snapshot) {
  std::string body = "<h1>Predicting the best strategy</h1>\n" + synthetic_notice_html(snapshot);
  body +=
      "<p class=\"lead\">Can the fastest way to read and write a large file on a device be told from its kind "
      "and a little host information? Each observation below was held out in turn and predicted from all the "
      "others; the figures say how close that prediction came to the observation's own best. "
      "<a href=\"/app/methodology#predictions\">How this works</a>.</p>\n";
  body += skipped_text(snapshot);
  body += "<h2>How well the prediction does</h2>\n";
  body +=
      "<p>Efficiency is the rate a strategy reached divided by the best rate of the same observation. Beside "
      "the model stand two choices a user would otherwise make: the one strategy that is best most often, "
      "and the fixed 1 MiB x 8 cached strategy common benchmarks use.</p>\n";
  body += direction_section(direction::read, snapshot.evaluation.read);
  body += direction_section(direction::write, snapshot.evaluation.write);
  body += "<h2>Recommendations by device kind</h2>\n" + kinds_table(snapshot.model);
  return page_frame("Predictions \xE2\x80\x94 FOLVI Vezad", body);
}

std::string similar_devices_html(std::string_view report, const model_snapshot& snapshot) {
  for (const parsed_report& parsed : parse_share_reports(report)) {
    if (!parsed.skipped.empty()) continue;
    std::string html = "<h2>Devices like this one</h2>\n" + synthetic_notice_html(snapshot);
    html += "<div class=\"best\">" + direction_verdict(direction::read, parsed.run, snapshot) +
            direction_verdict(direction::write, parsed.run, snapshot) + "</div>\n";
    return html + "<p>From the reports shared with the project: <a href=\"/app/predictions\">predictions</a>.</p>\n";
  }
  return std::string();
}
