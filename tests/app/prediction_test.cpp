#include "app/prediction.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const char good[] = R"({"direction":"read","size":1048576,"count":8,"mode":"raw seq","expected_efficiency":0.97,)"
                    R"("within_5_percent":0.9,"basis":{"level":"model","observations":20}})";

// `good` with one member's text replaced.
std::string with(const std::string& from, const std::string& to) {
  std::string text = good;
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string refusal(uint32_t status, const std::string& body, const char* direction = "read") {
  prediction p;
  std::string error;
  EXPECT_FALSE(read_prediction(status, body, direction, p, error)) << body;
  EXPECT_EQ(p.size, 0u) << body;
  return error;
}
}  // namespace

TEST(prediction, the_question_carries_the_device_facts_encoded) {
  const report_entries facts = {
      {"Volume.file_system", "NTFS"}, {"Device.type", "HDD"},  {"Device.vendor", "ASMT / Toshiba"},
      {"Device.model", "A&B=C?#+%"},  {"Device.bus", "7 / 7"}, {"Device.usb", "\xe2\x80\x93"},
      {"Device.controller", "Intel"}};
  const predict_device device = device_of(facts);
  EXPECT_EQ(predict_path("write", device),
            "/api/v1/predict?direction=write&type=HDD&vendor=ASMT%20%2F%20Toshiba&model=A%26B%3DC%3F%23%2B%25"
            "&bus=7%20%2F%207&usb=%E2%80%93");
  EXPECT_EQ(device_line(device),
            "Device: type HDD, vendor ASMT / Toshiba, model A&B=C?#+%, bus 7 / 7, usb \xe2\x80\x93");
  // Unknown facts are not asked about.
  const predict_device kind_only = device_of({{"Device.type", "NMVe"}, {"Device.controller", "x"}});
  EXPECT_EQ(predict_path("read", kind_only), "/api/v1/predict?direction=read&type=NMVe");
  EXPECT_EQ(predict_path("read", predict_device()), "/api/v1/predict?direction=read");
  EXPECT_EQ(device_line(predict_device()), "Device: not identified, asking about all devices");
  EXPECT_EQ(url_encoded("aZ09-._~ \x7f\x80"), "aZ09-._~%20%7F%80");
}

TEST(prediction, a_recommendation_is_read_and_printed) {
  prediction p;
  std::string error;
  ASSERT_TRUE(read_prediction(200, good, "read", p, error)) << error;
  EXPECT_EQ(prediction_line("read", p),
            "Recommended read: 8 x 1048576 bytes, raw seq, expected efficiency 97.0%, within 5% of the best in 90.0% "
            "(level model, 20 observations)");
  // Members in any order, with white space and members it does not know.
  const std::string other =
      "\xEF\xBB\xBF { \"basis\" : {\"observations\":1, \"level\":\"kind and bus\", \"spread\":[1,2]}, \"note\":null,"
      "\"within_5_percent\":1, \"expected_efficiency\":1e0, \"mode\":\"buf\", \"count\":1024,"
      " \"size\":4294967295, \"direction\":\"write\"}\r\n";
  ASSERT_TRUE(read_prediction(200, other, "write", p, error)) << error;
  EXPECT_EQ(prediction_line("write", p),
            "Recommended write: 1024 x 4294967295 bytes, buf, expected efficiency 100.0%, within 5% of the best in "
            "100.0% (level kind and bus, 1 observation)");
}

TEST(prediction, no_recommendation_gives_the_servers_reason_as_one_harmless_line) {
  EXPECT_EQ(refusal(404, R"({"reason":"no observations yet"})"),
            "the server has no recommendation: no observations yet");
  EXPECT_EQ(refusal(404, "<html>Not Found</html>"), "the server has no recommendation (HTTP 404)");
  EXPECT_EQ(refusal(400, R"({"reason":"direction must be read or write"})"),
            "the server refused the question: direction must be read or write");
  EXPECT_EQ(refusal(503, ""), "the server answered HTTP 503");
  EXPECT_EQ(refusal(302, R"({"reason":"moved"})"), "the server answered HTTP 302: moved");
  // Control characters cannot reach the terminal, and a long reason is cut at a character.
  EXPECT_EQ(refusal(404, "{\"reason\":\"a\\nb\\u001b[31m\\u0000\x7f\\r\\nc\"}"),
            "the server has no recommendation: a b [31m c");
  const std::string long_reason = std::string(199, 'x') + "\xc3\xa9" + "tail";
  EXPECT_EQ(refusal(404, "{\"reason\":\"" + long_reason + "\"}"),
            "the server has no recommendation: " + std::string(199, 'x') + "...");
  EXPECT_EQ(refusal(404, R"({"reason":17})"), "the server has no recommendation (HTTP 404)");
}

TEST(prediction, hostile_answers_are_refused_naming_what_is_wrong) {
  const char* const prefix = "the server's answer is not a recommendation: ";
  struct {
    std::string body;
    const char* why;
  } rows[] = {
      {"", "byte 1: the document ends early"},
      {std::string(good).substr(0, 60), "byte 61: a string ends early"},
      {"[1,2]", "not a JSON object"},
      {std::string(100000, '[') + std::string(100000, ']'), "byte 66: nested too deeply"},
      {std::string(good) + "{}", "byte 157: text after the document"},
      {with("\"direction\":\"read\"", "\"direction\":\"write\""), "\"direction\" is \"write\", not \"read\""},
      {with("\"direction\":\"read\",", ""), "\"direction\" is missing"},
      {with("1048576", "\"1048576\""), "\"size\" is of the wrong type"},
      {with("1048576", "1048576.5"), "\"size\" is not a whole number from 1 to 4294967295"},
      {with("1048576", "4294967296"), "\"size\" is not a whole number from 1 to 4294967295"},
      {with("1048576", "1e999"), "\"size\" is not a whole number from 1 to 4294967295"},
      {with("1048576", "-1"), "\"size\" is not a whole number from 1 to 4294967295"},
      {with("\"count\":8", "\"count\":0"), "\"count\" is not a whole number from 1 to 1024"},
      {with("\"count\":8", "\"count\":1025"), "\"count\" is not a whole number from 1 to 1024"},
      {with("raw seq", "RAW SEQ"), "\"mode\" is not known: \"RAW SEQ\""},
      {with("raw seq", "x\\u001b"), "\"mode\" is not known: \"x \""},
      {with("0.97", "NaN"), "byte 85: expected a value"},
      {with("0.97", "-1e999"), "\"expected_efficiency\" is not a share from 0 to 1"},
      {with("0.97", "1.01"), "\"expected_efficiency\" is not a share from 0 to 1"},
      {with("0.9,", "-0.1,"), "\"within_5_percent\" is not a share from 0 to 1"},
      {with("{\"level\":\"model\",\"observations\":20}", "[]"), "\"basis\" is of the wrong type"},
      {with("\"level\":\"model\"", "\"level\":\"brand\""), "\"level\" is not known: \"brand\""},
      {with("\"observations\":20", "\"observations\":0"),
       "\"observations\" is not a whole number from 1 to 4294967295"},
      {with(",\"observations\":20", ""), "\"observations\" is missing"},
  };
  for (const auto& r : rows) EXPECT_EQ(refusal(200, r.body), prefix + std::string(r.why)) << r.body.substr(0, 200);
}

TEST(prediction, no_answer_says_what_failed_in_one_line) {
  struct {
    const char* api;
    uint32_t code;
    const char* line;
  } rows[] = {
      {"HttpSendRequest", 12029,
       "no answer from https://h:4433: it cannot be connected to (HttpSendRequest() failed with 12029)"},
      // The certificate's subject comes with the step's name, its parts on lines of their own.
      {"HttpSendRequest.[FOLVI tests\r\nlocalhost]", 12045,
       "no answer from https://h:4433: its certificate is not trusted (HttpSendRequest.[FOLVI tests localhost]() "
       "failed with 12045)"},
      {"HttpCheckReplySize", 11111,
       "no answer from https://h:4433: its answer is too long (HttpCheckReplySize() failed with 11111)"},
      {"InternetReadFile", 11111,
       "no answer from https://h:4433: its answer was cut short (InternetReadFile() failed with 11111)"},
      {"InternetReadFile", 12152,
       "no answer from https://h:4433: the request failed (InternetReadFile() failed with 12152)"},
  };
  for (const auto& r : rows) {
    api_error_info failure;
    failure.api = r.api;
    failure.code = r.code;
    EXPECT_EQ(no_answer_line("https://h:4433", failure), r.line);
  }
}
