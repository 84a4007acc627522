// The model through the running server: generated reports uploaded the way the client uploads
// them, then /api/v1/predict, /api/v1/evaluation and the pages.
#include <gtest/gtest.h>

#include <regex>

#include "golden.h"
#include "server_process.h"
#include "share_helpers.h"
#include "synthetic_reports.h"

namespace {

const synthetic_device &fast_ssd = synthetic_fast_ssd, &nvme = synthetic_nvme, &usb_disk = synthetic_usb_disk;

void upload_report(int port, const std::string& report) {
  auto reply = post_upload(port, "report", report_package(report));
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200) << reply->body;
}

// The model is rebuilt in the background after an upload: the evaluation once `wanted` is in it.
std::string evaluation_showing(int port, const std::string& wanted) {
  std::string body;
  eventually([&] {
    auto reply = http_get(port, "/api/v1/evaluation");
    return (body = reply ? reply->body : "").find(wanted) != std::string::npos;
  });
  EXPECT_NE(body.find(wanted), std::string::npos) << body;
  return body;
}

std::string evaluation_when_taken(int port, int taken) {
  return evaluation_showing(port, "\"taken\":" + std::to_string(taken) + ",");
}

std::string predict(int port, const std::string& query) {
  auto reply = http_get(port, "/api/v1/predict?" + query);
  if (!reply) return "no reply";
  EXPECT_EQ(reply->header("content-type"), "application/json") << query;
  return std::to_string(reply->status) + " " + reply->body;
}

}  // namespace

TEST(predictions, recover_each_models_best_and_fall_back_to_its_kind_and_bus) {
  server_process server(synthetic_server);
  std::string transcript = predict(server.port(), "direction=read") + "\n";
  for (uint32_t machine = 0; machine < 20; ++machine) {
    upload_report(server.port(), synthetic_report(fast_ssd, machine, 1));
    upload_report(server.port(), synthetic_report(nvme, 100 + machine, 1));
    upload_report(server.port(), synthetic_report(usb_disk, 200 + machine, 1));
  }
  // Hostile shares are stored, skipped and counted; the good report beside a bad one is taken.
  std::string good = synthetic_report(fast_ssd, 300, 1);
  upload_report(server.port(), "Recorded  \xFF\xFE nothing of ours\r\n");
  upload_report(server.port(), good.substr(0, good.size() / 3));
  std::string bad = good;
  bad.replace(bad.find("|  raw seq  |"), 13, "|  raw sex  |");
  upload_report(server.port(), good + "\r\n-------\r\n\r\n" + bad);
  // Held out, each observation's own model still has 19 others (20 for the SSD) that know its best.
  transcript += evaluation_when_taken(server.port(), 61) + "\n";
  // Then models nobody measured, of a kind and bus that others have, or only of a kind.
  for (const char* query :
       {"direction=read&type=SSD&vendor=Acme&model=Fast+1&bus=3+%2F+11",
        "direction=read&type=NMVe&vendor=Bolt&model=N2&bus=3%20/%2017", "direction=write&vendor=Cirrus&model=Spin%207",
        "direction=read&type=HDD&vendor=Other&model=Spin+9&bus=3+%2F+7&usb=USB+3.0",
        "direction=read&type=HDD&bus=3+%2F+7&usb=USB+2.0", "direction=up", "direction=read&size=1"})
    transcript += predict(server.port(), query) + "\n";
  expect_golden(transcript, "predictions.txt");
}

TEST(predictions, a_public_server_leaves_synthetic_reports_out) {
  server_process server({"--model-refresh", "1"});
  upload_report(server.port(), synthetic_report(nvme, 5, 0));
  std::string evaluation = evaluation_showing(server.port(), "\"left_out\":1}");
  EXPECT_NE(evaluation.find("{\"synthetic\":false,\"reports\":{\"taken\":0,"), std::string::npos) << evaluation;
  EXPECT_EQ(predict(server.port(), "direction=read"), "404 {\"reason\":\"no observations yet\"}");
  auto page = http_get(server.port(), "/app/predictions");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->body.find("Synthetic data"), std::string::npos);
  EXPECT_NE(page->body.find("1 synthetic reports left out"), std::string::npos);
}

TEST(predictions, the_pages_show_model_baselines_and_kinds_and_say_the_data_is_synthetic) {
  server_process server(synthetic_server);
  std::optional<http_reply> shared;
  for (const auto& [type, package] : synthetic_site_uploads()) {
    shared = post_upload(server.port(), type, package);
    ASSERT_TRUE(shared);
    ASSERT_EQ(shared->status, 200) << shared->body;
  }
  evaluation_when_taken(server.port(), 13);
  auto page = http_get(server.port(), "/app/predictions");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  expect_golden(page->body, "predictions_page.html");
  std::string id = share_id_of(*shared);
  auto share = http_get(server.port(), "/s/" + id);
  ASSERT_TRUE(share);
  std::string html =
      std::regex_replace(share->body, std::regex("shared [0-9-]{10} [0-9:]{5} UTC"), "shared (time) UTC");
  expect_golden(std::regex_replace(html, std::regex(id), "SHARE_ID"), "synthetic_share_page.html");
}
