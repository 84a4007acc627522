// The store seen through running servers: two servers on one database serve each other's
// shares, a crash loses no upload that was answered "OK", and a backup runs beside a server.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "child_process.h"
#include "golden.h"
#include "server_process.h"
#include "share_helpers.h"
#include "synthetic_reports.h"

namespace {

// Screenshot uploads from a few clients at once, beyond what the rate limit lets one client
// store, until told to stop or the server goes away; collects the ids of those answered "OK".
struct upload_stream {
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  std::mutex mutex;
  std::vector<std::string> answered;

  upload_stream(int port, int clients, int most_each) {
    for (int i = 0; i < clients; ++i)
      threads.emplace_back([this, port, most_each] {
        std::string package = screenshot_package();
        for (int n = 0; n < most_each && !stop; ++n) {
          std::optional<http_reply> reply;
          try {
            reply = post_upload(port, "screenshot", package);
          } catch (const std::exception&) {
            return;  // connection refused: the server is gone
          }
          std::lock_guard<std::mutex> lock(mutex);
          if (reply && reply->status == 200) answered.push_back(share_id_of(*reply));
        }
      });
  }
  ~upload_stream() { finish(); }
  size_t count() {
    std::lock_guard<std::mutex> lock(mutex);
    return answered.size();
  }
  std::vector<std::string> finish() {
    stop = true;
    for (std::thread& thread : threads) thread.join();
    threads.clear();
    return answered;
  }
};

const std::vector<std::string> unlimited_uploads = {"--upload-rate", "100000", "--upload-burst", "100000"};

}  // namespace

// The second also learns from the report the first took after its own (it looks every second).
TEST(shared_store, two_servers_on_one_database_serve_each_others_shares_and_learn_from_them) {
  const std::vector<std::string> learning = {"--learn-from", "synthetic", "--model-refresh", "1"};
  server_process first(learning);
  std::vector<std::string> arguments = learning;
  arguments.insert(arguments.end(), {"--db", first.database()});
  server_process second(arguments);
  for (auto [from, to] : {std::pair{&second, &first}, {&first, &second}}) {
    package_files files = screenshot_files();
    files.report = synthetic_report(synthetic_nvme, from == &first ? 1 : 2, 0);
    auto reply = post_upload(from->port(), "screenshot", build_package(files));
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->status, 200) << reply->body;
    std::string id = share_id_of(*reply);
    EXPECT_EQ(status_of(http_get(to->port(), "/s/" + id)), 200);
    auto there = http_get(to->port(), "/s/" + id + "/read_graph.png");
    auto here = http_get(from->port(), "/s/" + id + "/read_graph.png");
    ASSERT_TRUE(there && here);
    EXPECT_EQ(there->status, 200);
    EXPECT_EQ(there->body, here->body);
  }
  EXPECT_EQ(count_rows(first.database(), "shares"), 2);
  std::string evaluation;
  eventually([&] {
    return (evaluation = http_get(second.port(), "/api/v1/evaluation")->body).find("\"observations\":2,") !=
           std::string::npos;
  });
  EXPECT_NE(evaluation.find("\"taken\":2,"), std::string::npos) << evaluation;
  auto answer = http_get(second.port(), "/api/v1/predict?direction=read&vendor=Bolt&model=N2");
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->body.find("\"size\":4194304,\"count\":16,\"mode\":\"raw\""), std::string::npos) << answer->body;
}

TEST(shared_store, a_crash_during_uploads_loses_none_answered_ok) {
  server_process server(unlimited_uploads);
  std::vector<std::string> answered;
  {
    upload_stream stream(server.port(), 4, 400);
    ASSERT_TRUE(eventually([&] { return stream.count() >= 40; }));
    server.kill_hard();  // with uploads in flight
    answered = stream.finish();
  }
  if (!testing_on_postgresql()) {
    EXPECT_EQ(query_text(server.database(), "PRAGMA integrity_check"), "ok");
  }
  std::string ids;
  for (const std::string& id : answered) ids += (ids.empty() ? "'" : ", '") + id + "'";
  EXPECT_EQ(count_rows(server.database(), "shares WHERE id IN (" + ids + ")"), static_cast<long long>(answered.size()));
  // Every share stored whole, answered or cut off before its answer.
  EXPECT_EQ(count_rows(server.database(), "shares WHERE id NOT IN (SELECT share_id FROM share_images)"), 0);
  EXPECT_EQ(count_rows(server.database(), "share_images") % 3, 0);
  server_process again({"--db", server.database()});
  EXPECT_EQ(status_of(http_get(again.port(), "/s/" + answered.back())), 200);
}

TEST(shared_store, a_backup_taken_while_uploads_go_on_is_whole) {
  server_process server(unlimited_uploads);
  upload_stream stream(server.port(), 2, 2000);
  ASSERT_TRUE(eventually([&] { return stream.count() >= 5; }));
  std::string copy = server.folder() + "/backup.db", log = server.folder() + "/backup.log";
  int status = run_program({FOLVI_SHARE_EXE, "--db", server.database(), "--backup", copy}, "", log);
  size_t answered_after = stream.count();
  stream.finish();
  if (testing_on_postgresql()) {
    EXPECT_EQ(status, 1);
    EXPECT_NE(file_text(log).find("for PostgreSQL use pg_dump"), std::string::npos) << file_text(log);
    return;
  }
  ASSERT_EQ(status, 0) << file_text(log);
  EXPECT_EQ(file_text(log), "folvi-share: copied " + server.database() + " into " + copy + "\n");
  EXPECT_EQ(query_text(copy, "PRAGMA integrity_check"), "ok");
  long long shares = count_rows(copy, "shares");
  EXPECT_GE(shares, 5);
  EXPECT_LE(shares, static_cast<long long>(answered_after) + 2);  // at most the two in flight
  EXPECT_EQ(count_rows(copy, "share_images"), 3 * shares);
}
