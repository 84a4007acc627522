// The client's body layout (data/client_upload_body.txt, written out by hand), and what the form
// reader makes of bodies of that layout, of the standard one, and of broken ones.
#include <gtest/gtest.h>

#include "form_body.h"
#include "golden.h"
#include "upload_body.h"
#include "upload_form.h"

namespace {

// The fields "type" and "data" of a body, or why it was refused.
std::string read_fields(const std::string& body) {
  upload_form form(2000);
  std::string error, type, package;
  if (!read_form_body(body, "i-will-not-crash", form, error)) return error.empty() ? form.error() : error;
  if (!form.take_fields(type, package)) return form.error();
  return "type " + type + ", data of " + std::to_string(package.size()) + " bytes ending " +
         package.substr(package.size() - 19);
}

}  // namespace

TEST(upload_body, matches_the_layout_byte_for_byte) {
  expect_golden(upload_body("report", "PK\x05\x06"), "client_upload_body.txt");
}

TEST(upload_form, takes_only_type_then_data_within_the_limit) {
  std::string zip = std::string(1000, 'z') + "\r\n--i-will-not-cras";  // almost a delimiter inside
  const std::vector<body_part> good = {{"type", "screenshot", ""}, {"data", zip, "package.zip"}};
  const std::vector<std::vector<body_part>> cases = {
      {{"kind", "report", ""}},
      {{"type", "report", "type.txt"}},
      {{"data", zip, "package.zip"}},
      {{"type", "report", ""}, {"type", "report", ""}},
      {{"type", "report", ""}, {"data", zip, ""}},
      {{"type", "report", ""}, {"file", zip, "package.zip"}},
      {{"type", "report", ""}, {"data", zip, "../package.zip"}},
      {{"type", "report", ""}, {"data", zip, "package.zip"}, {"type", "report", ""}},
      {{"type", "report", ""}},
      {{"type", std::string(100, 'r'), ""}, {"data", zip, "package.zip"}},
      {{"type", "report", ""}, {"data", std::string(1994, 'z'), "package.zip"}},  // just within the limit
      {{"type", "report", ""}, {"data", std::string(1995, 'z'), "package.zip"}},
  };
  std::string body = client_layout_body(good);
  std::string transcript = read_fields(body) + "\n" + read_fields(standard_layout_body(good)) + "\n";
  for (const auto& parts : cases) transcript += read_fields(client_layout_body(parts)) + "\n";
  // A body whose Content-Length matches what was sent but that stops inside a part.
  for (size_t keep :
       {size_t{0}, size_t{10}, size_t{30}, size_t{150}, body.size() - 22, body.size() - 10, body.size() - 1})
    transcript += std::to_string(keep) + " bytes: " + read_fields(body.substr(0, keep)) + "\n";
  transcript += form_boundary("multipart/form-data; boundary=\"i-will-not-crash\"; charset=x") + "|" +
                form_boundary("text/plain; boundary=x") + "|\n";
  expect_golden(transcript, "upload_forms.txt");
}
