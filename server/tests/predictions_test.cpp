// The model through the running server: generated reports uploaded the way the client uploads
// them, then /api/v1/predict, /api/v1/evaluation and the pages.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "server_process.h"
#include "share_helpers.h"
#include "synthetic_reports.h"

namespace {

const std::vector<std::string> synthetic_server = {"--learn-from", "synthetic",      "--upload-rate",
                                                   "1000",         "--upload-burst", "1000"};

// Three models of three kinds, each with a best read strategy of its own.
const synthetic_device fast_ssd{{"SSD", "Acme", "Fast 1", "3 / 11", ""}, {1048576, 8, 4}, {4194304, 4, 3}, 520};
const synthetic_device nvme{{"NMVe", "Bolt", "N2", "3 / 17", ""}, {4194304, 16, 3}, {1048576, 16, 4}, 3100};
const synthetic_device usb_disk{{"HDD", "Cirrus", "Spin 7", "3 / 7", "USB 3.0"}, {262144, 4, 1}, {65536, 1, 3}, 180};

void upload_report(int port, const std::string& report) {
  auto reply = post_upload(port, "report", report_package(report));
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200) << reply->body;
}

// The model is rebuilt in the background after an upload: wait until it holds `taken` reports.
std::string evaluation_when_taken(int port, int taken) {
  std::string wanted = "\"taken\":" + std::to_string(taken) + ",";
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::string body;
  while (std::chrono::steady_clock::now() < deadline) {
    auto reply = http_get(port, "/api/v1/evaluation");
    if (reply && reply->body.find(wanted) != std::string::npos) return reply->body;
    if (reply) body = reply->body;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ADD_FAILURE() << "the model never took " << taken << " reports: " << body;
  return body;
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
  EXPECT_EQ(predict(server.port(), "direction=read"), "404 {\"reason\":\"no observations yet\"}");
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
  std::string evaluation = evaluation_when_taken(server.port(), 61);
  EXPECT_NE(evaluation.find("\"skipped\":{\"not a report\":1,\"cut short\":1,\"bad value\":1,\"rows disagree\":0,"
                            "\"unreadable\":0},\"left_out\":0},\"observations\":61,"),
            std::string::npos)
      << evaluation;
  EXPECT_EQ(evaluation.rfind("{\"synthetic\":true,", 0), 0u) << evaluation;

  EXPECT_EQ(predict(server.port(), "direction=read&type=SSD&vendor=Acme&model=Fast+1&bus=3+%2F+11"),
            "200 {\"direction\":\"read\",\"size\":1048576,\"count\":8,\"mode\":\"raw seq\",\"expected_efficiency\":1,"
            "\"within_5_percent\":1,\"basis\":{\"level\":\"model\",\"observations\":21}}");
  EXPECT_EQ(predict(server.port(), "direction=read&type=NMVe&vendor=Bolt&model=N2&bus=3%20/%2017"),
            "200 {\"direction\":\"read\",\"size\":4194304,\"count\":16,\"mode\":\"raw\",\"expected_efficiency\":1,"
            "\"within_5_percent\":1,\"basis\":{\"level\":\"model\",\"observations\":20}}");
  EXPECT_EQ(predict(server.port(), "direction=write&vendor=Cirrus&model=Spin%207"),
            "200 {\"direction\":\"write\",\"size\":65536,\"count\":1,\"mode\":\"raw\",\"expected_efficiency\":1,"
            "\"within_5_percent\":1,\"basis\":{\"level\":\"model\",\"observations\":20}}");
  // A model nobody measured, of a kind and bus that others have.
  EXPECT_EQ(predict(server.port(), "direction=read&type=HDD&vendor=Other&model=Spin+9&bus=3+%2F+7&usb=USB+3.0"),
            "200 {\"direction\":\"read\",\"size\":262144,\"count\":4,\"mode\":\"buf seq\",\"expected_efficiency\":1,"
            "\"within_5_percent\":1,\"basis\":{\"level\":\"kind and bus\",\"observations\":20}}");
  EXPECT_EQ(predict(server.port(), "direction=read&type=HDD&bus=3+%2F+7&usb=USB+2.0").substr(0, 4), "200 ");
  EXPECT_NE(predict(server.port(), "direction=read&type=HDD&bus=3+%2F+7&usb=USB+2.0").find("\"level\":\"kind\""),
            std::string::npos);
  EXPECT_EQ(predict(server.port(), "direction=up"), "400 {\"reason\":\"direction must be read or write\"}");
  EXPECT_EQ(predict(server.port(), "direction=read&size=1"),
            "400 {\"reason\":\"unknown parameter size (known: direction, type, vendor, model, bus, usb)\"}");
  // Held out, each observation's own model still has 19 others (20 for the SSD) that know its best.
  EXPECT_NE(evaluation.find("\"read\":{\"observations\":61,"), std::string::npos);
  EXPECT_NE(evaluation.find("\"levels\":{\"model\":{\"model\":{\"evaluated\":61,\"unmeasured\":0,\"median\":1,"
                            "\"p10\":1,\"within_5_percent\":1}"),
            std::string::npos)
      << evaluation;
}

TEST(predictions, a_hundred_uploads_from_one_machine_are_one_observation) {
  server_process server(synthetic_server);
  for (uint32_t seed = 0; seed < 100; ++seed) upload_report(server.port(), synthetic_report(nvme, 5, seed));
  upload_report(server.port(), synthetic_report(fast_ssd, 6, 0));
  std::string evaluation = evaluation_when_taken(server.port(), 101);
  EXPECT_NE(evaluation.find("\"observations\":2,"), std::string::npos) << evaluation;
  std::string answer = predict(server.port(), "direction=read");
  EXPECT_NE(answer.find("\"basis\":{\"level\":\"all\",\"observations\":2}}"), std::string::npos) << answer;
}

TEST(predictions, a_public_server_leaves_synthetic_reports_out) {
  server_process server({"--model-refresh", "1"});
  upload_report(server.port(), synthetic_report(nvme, 5, 0));
  std::string evaluation = evaluation_when_taken(server.port(), 0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (evaluation.find("\"left_out\":1}") == std::string::npos && std::chrono::steady_clock::now() < deadline)
    evaluation = http_get(server.port(), "/api/v1/evaluation")->body;
  EXPECT_NE(evaluation.find("{\"synthetic\":false,\"reports\":{\"taken\":0,"), std::string::npos) << evaluation;
  EXPECT_NE(evaluation.find("\"left_out\":1}"), std::string::npos) << evaluation;
  EXPECT_EQ(predict(server.port(), "direction=read"), "404 {\"reason\":\"no observations yet\"}");
  auto page = http_get(server.port(), "/app/predictions");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->body.find("Synthetic data"), std::string::npos);
  EXPECT_NE(page->body.find("1 synthetic reports left out"), std::string::npos);
}

TEST(predictions, the_pages_show_model_baselines_and_kinds_and_say_the_data_is_synthetic) {
  server_process server(synthetic_server);
  for (uint32_t machine = 0; machine < 6; ++machine) {
    upload_report(server.port(), synthetic_report(fast_ssd, machine, 1));
    upload_report(server.port(), synthetic_report(usb_disk, 100 + machine, 1));
  }
  package_files files = screenshot_files();
  files.report = synthetic_report(fast_ssd, 50, 2);
  auto shared = post_upload(server.port(), "screenshot", build_package(files));
  ASSERT_TRUE(shared);
  ASSERT_EQ(shared->status, 200);
  evaluation_when_taken(server.port(), 13);

  auto page = http_get(server.port(), "/app/predictions");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  const std::string& html = page->body;
  EXPECT_NE(html.find("Synthetic data: every figure here comes from generated test reports"), std::string::npos);
  EXPECT_NE(html.find("13 reports taken into 13 observations; 0 reports skipped."), std::string::npos) << html;
  EXPECT_NE(html.find("<svg class=\"chart\""), std::string::npos);
  EXPECT_EQ(html.find("style="), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  for (const char* method : {"This model", "Best most often", "Fixed 1 MiB x 8, buf"})
    EXPECT_NE(html.find(method), std::string::npos) << method;
  EXPECT_NE(html.find("<tr><td>HDD</td><td>256 KiB x 4, buf seq</td><td>100%, 100% within 5%</td><td>6</td>"
                      "<td>64 KiB x 1, raw</td>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("<tr><td>SSD</td><td>1 MiB x 8, raw seq</td><td>100%, 100% within 5%</td><td>7</td>"),
            std::string::npos);

  auto method = http_get(server.port(), "/app/methodology");
  ASSERT_TRUE(method);
  EXPECT_NE(method->body.find("<a href=\"/app/predictions\">predictions page</a>"), std::string::npos);
  EXPECT_NE(method->body.find("What keeps a few people from steering the answers"), std::string::npos);

  auto share = http_get(server.port(), "/s/" + share_id_of(*shared));
  ASSERT_TRUE(share);
  EXPECT_NE(share->body.find("<h2>Devices like this one</h2>\n<p class=\"notice\">Synthetic data"), std::string::npos);
  EXPECT_NE(share->body.find("<div class=\"io\">1 MiB x 8, raw seq</div><p>Expected 100% of the best rate; within 5% "
                             "of the best in 100% of 7 observations (by model).</p><p>This run's best: 1 MiB x 8, "
                             "raw seq at "),
            std::string::npos)
      << share->body;
  EXPECT_NE(share->body.find("The recommended strategy reached 100% of it here."), std::string::npos);
}

TEST(predictions, a_server_learns_the_uploads_another_server_on_its_database_took) {
  server_process first(synthetic_server);
  std::vector<std::string> arguments = synthetic_server;
  for (const char* extra : {"--model-refresh", "1", "--db"}) arguments.push_back(extra);
  arguments.push_back(first.database());
  server_process second(arguments);
  upload_report(first.port(), synthetic_report(nvme, 1, 0));
  upload_report(first.port(), synthetic_report(nvme, 2, 0));
  std::string evaluation = evaluation_when_taken(second.port(), 2);
  EXPECT_NE(evaluation.find("\"observations\":2,"), std::string::npos) << evaluation;
  EXPECT_NE(predict(second.port(), "direction=read&vendor=Bolt&model=N2")
                .find("\"size\":4194304,\"count\":16,\"mode\":\"raw\""),
            std::string::npos);
}
