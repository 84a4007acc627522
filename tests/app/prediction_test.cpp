#include "app/prediction.h"

#include <gtest/gtest.h>

#include <string>

#include "golden.h"

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

// The recommendation's line, or why there is none.
std::string answer(uint32_t status, const std::string& body, const char* direction = "read") {
  prediction p;
  std::string error;
  if (read_prediction(status, body, direction, p, error)) return prediction_line(direction, p) + "\n";
  EXPECT_EQ(p.size, 0u) << body;
  return "refused: " + error + "\n";
}
}  // namespace

// The question: the device facts encoded; unknown facts are not asked about.
TEST(prediction, the_question_carries_the_device_facts_encoded) {
  const predict_device device = device_of({{"Volume.file_system", "NTFS"},
                                           {"Device.type", "HDD"},
                                           {"Device.vendor", "ASMT / Toshiba"},
                                           {"Device.model", "A&B=C?#+%"},
                                           {"Device.bus", "7 / 7"},
                                           {"Device.usb", "\xe2\x80\x93"},
                                           {"Device.controller", "Intel"}});
  const predict_device kind_only = device_of({{"Device.type", "NMVe"}, {"Device.controller", "x"}});
  expect_golden(predict_path("write", device) + "\n" + device_line(device) + "\n" + predict_path("read", kind_only) +
                    "\n" + predict_path("read", predict_device()) + "\n" + device_line(predict_device()) + "\n" +
                    url_encoded("aZ09-._~ \x7f\x80") + "\n",
                "app/prediction_question.txt");
}

// Recommendations, the server's reasons for none as one harmless line, hostile answers refused
// naming what is wrong, and no answer at all.
TEST(prediction, answers_and_refusals) {
  // Members in any order, with white space and members it does not know.
  std::string text = answer(200, good) +
                     answer(200,
                            "\xEF\xBB\xBF { \"basis\" : {\"observations\":1, \"level\":\"kind and bus\", "
                            "\"spread\":[1,2]}, \"note\":null, \"within_5_percent\":1, \"expected_efficiency\":1e0, "
                            "\"mode\":\"buf\", \"count\":1024, \"size\":4294967295, \"direction\":\"write\"}\r\n",
                            "write");
  const std::string long_reason = std::string(199, 'x') + "\xc3\xa9" + "tail";
  const std::pair<uint32_t, std::string> refusals[] = {
      {404, R"({"reason":"no observations yet"})"},
      {404, "<html>Not Found</html>"},
      {400, R"({"reason":"direction must be read or write"})"},
      {503, ""},
      {302, R"({"reason":"moved"})"},
      // Control characters cannot reach the terminal, and a long reason is cut at a character.
      {404, "{\"reason\":\"a\\nb\\u001b[31m\\u0000\x7f\\r\\nc\"}"},
      {404, "{\"reason\":\"" + long_reason + "\"}"},
      {404, R"({"reason":17})"},
  };
  for (const auto& [status, body] : refusals) text += answer(status, body);
  const std::string hostile[] = {
      "",
      std::string(good).substr(0, 60),
      "[1,2]",
      std::string(100000, '[') + std::string(100000, ']'),
      std::string(good) + "{}",
      with("\"direction\":\"read\"", "\"direction\":\"write\""),
      with("\"direction\":\"read\",", ""),
      with("1048576", "\"1048576\""),
      with("1048576", "1048576.5"),
      with("1048576", "4294967296"),
      with("1048576", "1e999"),
      with("1048576", "-1"),
      with("\"count\":8", "\"count\":0"),
      with("\"count\":8", "\"count\":1025"),
      with("raw seq", "RAW SEQ"),
      with("raw seq", "x\\u001b"),
      with("0.97", "NaN"),
      with("0.97", "-1e999"),
      with("0.97", "1.01"),
      with("0.9,", "-0.1,"),
      with("{\"level\":\"model\",\"observations\":20}", "[]"),
      with("\"level\":\"model\"", "\"level\":\"brand\""),
      with("\"observations\":20", "\"observations\":0"),
      with(",\"observations\":20", ""),
  };
  for (const std::string& body : hostile) text += answer(200, body);
  // The certificate's subject comes with the step's name, its parts on lines of their own.
  const std::pair<const char*, uint32_t> failures[] = {{"HttpSendRequest", 12029},
                                                       {"HttpSendRequest.[FOLVI tests\r\nlocalhost]", 12045},
                                                       {"HttpCheckReplySize", 11111},
                                                       {"InternetReadFile", 11111},
                                                       {"InternetReadFile", 12152}};
  for (const auto& [api, code] : failures) {
    api_error_info failure;
    failure.api = api;
    failure.code = code;
    text += no_answer_line("https://h:4433", failure) + "\n";
  }
  expect_golden(text, "app/prediction_answers.txt");
}
