#include "share_page.h"

#include <ctime>

#include "html_text.h"
#include "report_summary.h"
#include "static_pages.h"

namespace {

std::string utc_time(int64_t seconds) {
  std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts);
  return text;
}

const char* image_caption(const std::string& name) {
  if (name == "read_graph") return "Read speed";
  if (name == "write_graph") return "Write speed";
  return "The benchmark window";
}

std::string figure(const std::string& id, const image_info& image) {
  std::string caption = image_caption(image.name);
  return "<figure><img src=\"/s/" + id + "/" + image.name + ".png\" width=\"" + std::to_string(image.width) +
         "\" height=\"" + std::to_string(image.height) + "\" alt=\"" + caption + "\"><figcaption>" + caption +
         "</figcaption></figure>\n";
}

std::string best_box(const char* direction, const std::string& rate, const std::string& io) {
  if (rate.empty()) return std::string();
  std::string box = "<div><div class=\"meta\">Best " + std::string(direction) + " rate</div><div class=\"rate\">" +
                    html_escape(rate) + "</div>";
  if (!io.empty()) box += "<div class=\"io\">" + html_escape(io) + "</div>";
  return box + "</div>";
}

}  // namespace

std::string share_page_html(const std::string& id, const stored_share& share, std::string_view similar_devices) {
  report_summary summary = summarize_report(share.report);
  std::string body = "<h1>Shared benchmark result</h1>\n<p class=\"meta\">";
  if (!summary.device.empty()) body += html_escape(summary.device) + " &middot; ";
  if (!summary.platform.empty()) body += html_escape(summary.platform) + " &middot; ";
  body += "shared " + utc_time(share.received_at) + "</p>\n";
  std::string best = best_box("read", summary.read_best, summary.read_best_io) +
                     best_box("write", summary.write_best, summary.write_best_io);
  if (!best.empty()) body += "<div class=\"best\">" + best + "</div>\n";

  std::string graphs;
  for (const image_info& image : share.images) {
    if (image.name == "screenshot") body += figure(id, image);
    else graphs += figure(id, image);
  }
  if (!graphs.empty()) body += "<div class=\"graphs\">\n" + graphs + "</div>\n";
  body += similar_devices;
  if (!share.report.empty())
    body += "<h2>Test report</h2>\n<pre class=\"report\">" + html_escape(share.report) + "</pre>\n";
  body += "<p>How to read these figures: <a href=\"/app/methodology\">testing methodology</a>.</p>";
  return page_frame("FOLVI Vezad \xE2\x80\x94 shared result", body);
}
