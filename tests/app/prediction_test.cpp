#include "app/prediction.h"

#include <gtest/gtest.h>

#include <string>

#include "golden.h"
#include "unescaped.h"

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

TEST(prediction, answers_and_refusals) {
  expect_table("app/prediction_answers.txt", [](const std::string& question) {
    const size_t first = question.find(' '), second = question.find(' ', first + 1);
    const std::string head = question.substr(0, first), middle = question.substr(first + 1, second - first - 1);
    const std::string rest = unescaped(question.substr(second + 1));
    if (head == "no-answer") {
      api_error_info failure;
      failure.api = rest;
      failure.code = uint32_t(std::stoul(middle));
      return no_answer_line("https://h:4433", failure);
    }
    prediction p;
    std::string error;
    if (read_prediction(uint32_t(std::stoul(head)), rest, middle.c_str(), p, error))
      return prediction_line(middle.c_str(), p);
    EXPECT_EQ(p.size, 0u) << rest;
    return "refused: " + error;
  });
}
