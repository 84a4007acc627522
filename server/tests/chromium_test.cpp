// The site in Debian's Chromium, headless and kept off the network (its flags are in
// data/chromium_flags.txt): the share page draws its images and its recommendation, the
// predictions page its charts (inline SVG). The screenshots stay in the build folder to be looked at.
#include <gtest/gtest.h>

#include <filesystem>

#include "child_process.h"
#include "golden.h"
#include "request_log.h"
#include "server_process.h"
#include "share_helpers.h"
#include "test_ca_client.h"
#include "test_images.h"

namespace {

// Pixels of exactly this colour.
size_t pixels_of(const rgb_image& image, uint8_t r, uint8_t g, uint8_t b, uint8_t tolerance = 0) {
  size_t count = 0;
  for (size_t i = 0; i + 2 < image.rgb.size(); i += 3)
    count += std::abs(image.rgb[i] - r) <= tolerance && std::abs(image.rgb[i + 1] - g) <= tolerance &&
             std::abs(image.rgb[i + 2] - b) <= tolerance;
  return count;
}

std::optional<rgb_image> screenshot_of(const server_process& server, const std::string& path, const std::string& name) {
  std::string profile = server.folder() + "/chromium-" + name,
              shot = std::string(TEST_OUTPUT_DIR) + "/" + name + ".png";
  std::filesystem::create_directories(profile);
  std::filesystem::remove(shot);
  std::string spki = file_text(std::string(TEST_CA_DIR) + "/server-spki.txt");
  std::vector<std::string> arguments = {"/usr/bin/chromium"};
  for (const std::string& flag : lines_of(test_data_text("chromium_flags.txt"))) arguments.push_back(flag);
  for (std::string more : {"--user-data-dir=" + profile, "--screenshot=" + shot,
                           "--ignore-certificate-errors-spki-list=" + spki.substr(0, spki.find_first_of("\r\n")),
                           "https://localhost:" + std::to_string(server.port()) + path})
    arguments.push_back(more);
  EXPECT_EQ(run_program(arguments, profile + "/stdout", profile + "/chromium.log"), 0)
      << file_text(profile + "/chromium.log");
  return decode_png_with_libpng(file_text(shot));
}

}  // namespace

TEST(chromium, draws_the_share_page_and_the_predictions) {
  std::vector<std::string> arguments = test_ca_server_arguments();
  arguments.insert(arguments.end(), synthetic_server.begin(), synthetic_server.end());
  server_process server(arguments);
  auto client = test_ca_client(server.port());
  std::string path;
  for (const auto& [type, package] : synthetic_site_uploads()) {
    auto shared = https_upload(*client, type, package);
    ASSERT_TRUE(shared);
    ASSERT_EQ(shared->status, 200);
    if (type == "screenshot") path = shared->body.substr(shared->body.rfind("/s/"));
  }
  // The share's own upload is the last: once it is in, every report is.
  eventually([&] {
    auto evaluation = client->Get("/api/v1/evaluation");
    return evaluation && evaluation->body.find("\"taken\":13,") != std::string::npos;
  });
  auto page = screenshot_of(server, path, "share-page");
  ASSERT_TRUE(page);
  // The test picture's magenta bands: 80 of the screenshot's 320 columns and those of the graphs.
  EXPECT_GT(pixels_of(*page, 250, 5, 250, 10), 16000u);
  std::string log = server.log_showing("\"GET /app/style.css\" 200");
  EXPECT_NE(log.find("\"GET " + shorten_share_ids(path) + "/screenshot.png\" 200"), std::string::npos) << log;
  EXPECT_NE(log.find("\"GET /app/style.css\" 200"), std::string::npos) << log;
  auto predictions = screenshot_of(server, "/app/predictions", "predictions");
  ASSERT_TRUE(predictions);
  // The model's two bars in the accent colour, 360 x 16 pixels each (headings have far fewer).
  EXPECT_GT(pixels_of(*predictions, 0x1f, 0x5f, 0xa8), 9000u) << "see predictions.png";
}
