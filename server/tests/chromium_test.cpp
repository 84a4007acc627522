// The share page in Debian's Chromium, headless and kept off the network: the report text is in
// the page and the images are drawn. The screenshots stay in the build folder to be looked at.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "request_log.h"
#include "server_process.h"
#include "share_helpers.h"
#include "synthetic_reports.h"
#include "test_ca_client.h"
#include "test_images.h"

namespace {

const std::string ca_dir = TEST_CA_DIR;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs chromium on one address with one more option; its standard output goes to `output`.
int run_chromium(const std::string& profile, const std::string& option, const std::string& url,
                 const std::string& output) {
  std::string spki = read_file(ca_dir + "/server-spki.txt");
  while (!spki.empty() && (spki.back() == '\n' || spki.back() == '\r')) spki.pop_back();
  std::vector<std::string> arguments = {"/usr/bin/chromium",
                                        "--headless",
                                        "--no-sandbox",
                                        "--disable-gpu",
                                        "--disable-quic",
                                        "--no-first-run",
                                        "--disable-background-networking",
                                        "--disable-component-update",
                                        "--disable-sync",
                                        "--disable-default-apps",
                                        "--disable-extensions",
                                        "--hide-scrollbars",
                                        "--window-size=1280,1700",
                                        "--user-data-dir=" + profile,
                                        "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE localhost",
                                        "--ignore-certificate-errors-spki-list=" + spki,
                                        option,
                                        url};
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int log = open((profile + "/chromium.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(log, 2);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

size_t magenta_pixels(const rgb_image& image) {
  size_t count = 0;
  for (size_t i = 0; i + 2 < image.rgb.size(); i += 3)
    if (image.rgb[i] > 240 && image.rgb[i + 1] < 16 && image.rgb[i + 2] > 240) ++count;
  return count;
}

std::optional<rgb_image> screenshot_of(const server_process& server, const std::string& path, const std::string& name) {
  std::string profile = server.folder() + "/chromium-" + name;
  std::filesystem::create_directories(profile);
  std::string shot = std::string(TEST_OUTPUT_DIR) + "/" + name + ".png";
  std::filesystem::remove(shot);
  std::string url = "https://localhost:" + std::to_string(server.port()) + path;
  EXPECT_EQ(run_chromium(profile, "--screenshot=" + shot, url, profile + "/stdout"), 0)
      << read_file(profile + "/chromium.log");
  return decode_png_with_libpng(read_file(shot));
}

}  // namespace

TEST(chromium, shows_the_share_page_with_its_report_and_screenshot) {
  server_process server(test_ca_server_arguments());
  auto reply = https_upload(*test_ca_client(server.port()), "screenshot", screenshot_package());
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200);
  std::string path = reply->body.substr(reply->body.rfind("/s/"));

  std::string profile = server.folder() + "/chromium-dom";
  std::filesystem::create_directories(profile);
  ASSERT_EQ(run_chromium(profile, "--dump-dom", "https://localhost:" + std::to_string(server.port()) + path,
                         profile + "/dom.html"),
            0);
  std::string dom = read_file(profile + "/dom.html");
  EXPECT_NE(dom.find("Read.best.io                    4 x 1048576 bytes, raw"), std::string::npos) << dom;

  auto page = screenshot_of(server, path, "share-page");
  ASSERT_TRUE(page);
  // The test picture's magenta bands: 80 of the screenshot's 320 columns and those of the graphs.
  EXPECT_GT(magenta_pixels(*page), 16000u);
  std::string log = server.log_showing("\"GET /app/style.css\" 200");
  EXPECT_NE(log.find("\"GET " + shorten_share_ids(path) + "/screenshot.png\" 200"), std::string::npos) << log;
  EXPECT_NE(log.find("\"GET /app/style.css\" 200"), std::string::npos) << log;

  for (const char* name : {"homepage", "methodology"}) {
    auto shot = screenshot_of(server, std::string("/app/") + name, name);
    ASSERT_TRUE(shot) << name;
    EXPECT_EQ(shot->width, 1280u);
  }
}

// The predictions page and a share page's recommendation, drawn: the charts are inline SVG.
TEST(chromium, draws_the_predictions_page_and_a_share_pages_recommendation) {
  std::vector<std::string> arguments = test_ca_server_arguments();
  for (const char* extra : {"--learn-from", "synthetic", "--upload-rate", "1000", "--upload-burst", "1000"})
    arguments.push_back(extra);
  server_process server(arguments);
  auto client = test_ca_client(server.port());
  const synthetic_device devices[] = {
      {{"SSD", "Acme", "Fast 1", "3 / 11", ""}, {1048576, 8, 4}, {4194304, 4, 3}, 520},
      {{"HDD", "Cirrus", "Spin 7", "3 / 7", "USB 3.0"}, {262144, 4, 1}, {65536, 1, 3}, 180}};
  uint32_t machine = 0;
  for (const synthetic_device& device : devices)
    for (int i = 0; i < 6; ++i) {
      package_files files;
      files.report = synthetic_report(device, machine++, 1);
      auto reply = https_upload(*client, "report", build_package(files));
      ASSERT_TRUE(reply);
      ASSERT_EQ(reply->status, 200);
    }
  package_files files = screenshot_files();
  files.report = synthetic_report(devices[0], machine, 2);
  auto shared = https_upload(*client, "screenshot", build_package(files));
  ASSERT_TRUE(shared);
  ASSERT_EQ(shared->status, 200);
  // The share's own upload is the last: once it is in, every report is.
  for (int wait = 0; wait < 400; ++wait) {
    auto evaluation = client->Get("/api/v1/evaluation");
    if (evaluation && evaluation->body.find("\"taken\":13,") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  auto predictions = screenshot_of(server, "/app/predictions", "predictions");
  ASSERT_TRUE(predictions);
  // The model's bars are drawn in the accent colour #1f5fa8.
  size_t accent = 0;
  for (size_t i = 0; i + 2 < predictions->rgb.size(); i += 3)
    accent += predictions->rgb[i] == 0x1f && predictions->rgb[i + 1] == 0x5f && predictions->rgb[i + 2] == 0xa8;
  EXPECT_GT(accent, 2000u);
  std::string path = shared->body.substr(shared->body.rfind("/s/"));
  ASSERT_TRUE(screenshot_of(server, path, "share-page-recommendation"));
}
