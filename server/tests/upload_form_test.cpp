// The client's body layout, written out by hand, and the form collector's view of it.
#include <gtest/gtest.h>

#include "form_body.h"
#include "upload_body.h"
#include "upload_form.h"

TEST(upload_body, matches_the_layout_byte_for_byte) {
  std::string expected =
      "--i-will-not-crash\r\n"
      "Content-Disposition: form-data; name=\"type\"\r\n"
      "\r\n"
      "report"
      "\r\n--i-will-not-crash\r\n"
      "--i-will-not-crash\r\n"
      "Content-Disposition: form-data; name=\"data\"; filename=\"package.zip\"\r\n"
      "Content-Type: application/octet-stream\r\n"
      "\r\n"
      "PK\x05\x06"
      "\r\n--i-will-not-crash\r\n";
  EXPECT_EQ(upload_body("report", "PK\x05\x06"), expected);
  // Fixed overheads: 85 bytes per text part, 138 per file part, plus names and contents.
  EXPECT_EQ(expected.size(), (85u + 4 + 6) + (138u + 4 + 11 + 4));
}

TEST(form_body, reads_the_client_layout_and_the_standard_one) {
  std::string zip(1000, 'z');
  zip += "\r\n--i-will-not-cras";  // almost a delimiter inside the content
  std::vector<body_part> parts = {{"type", "screenshot", ""}, {"data", zip, "package.zip"}};
  for (const std::string& body : {client_layout_body(parts), standard_layout_body(parts)}) {
    upload_form form(1 << 20);
    std::string error, type, package;
    ASSERT_TRUE(read_form_body(body, "i-will-not-crash", form, error)) << error;
    ASSERT_TRUE(form.take_fields(type, package));
    EXPECT_EQ(type, "screenshot");
    EXPECT_EQ(package, zip);
  }
}

// A body whose Content-Length matches what was sent but that stops inside a part.
TEST(form_body, a_body_cut_anywhere_is_malformed) {
  std::string body = client_layout_body({{"type", "report", ""}, {"data", std::string(300, 'z'), "package.zip"}});
  for (size_t keep :
       {size_t{0}, size_t{10}, size_t{30}, size_t{150}, body.size() - 22, body.size() - 10, body.size() - 1}) {
    upload_form form(1 << 20);
    std::string error;
    EXPECT_FALSE(read_form_body(body.substr(0, keep), "i-will-not-crash", form, error)) << keep;
    EXPECT_EQ(error, "form data incomplete or malformed") << keep;
  }
  EXPECT_EQ(form_boundary("multipart/form-data; boundary=\"i-will-not-crash\"; charset=x"), "i-will-not-crash");
  EXPECT_EQ(form_boundary("text/plain; boundary=x"), "");
}

TEST(upload_form, takes_only_type_then_data) {
  struct field {
    const char* name;
    const char* file_name;
  };
  struct case_ {
    std::vector<field> fields;
    const char* error;
  } cases[] = {
      {{{"kind", ""}}, "the first form field must be the text field \"type\""},
      {{{"type", "type.txt"}}, "the first form field must be the text field \"type\""},
      {{{"data", "package.zip"}}, "the first form field must be the text field \"type\""},
      {{{"type", ""}, {"type", ""}}, "the second form field must be the file field \"data\""},
      {{{"type", ""}, {"data", ""}}, "the second form field must be the file field \"data\""},
      {{{"type", ""}, {"file", "package.zip"}}, "the second form field must be the file field \"data\""},
      {{{"type", ""}, {"data", "../package.zip"}}, "the file field \"data\" must be named \"package.zip\""},
      {{{"type", ""}, {"data", "package.zip"}, {"type", ""}}, "more form fields than \"type\" and \"data\""},
  };
  for (const case_& c : cases) {
    upload_form form(1 << 20);
    bool accepted = true;
    for (const field& f : c.fields) accepted = accepted && form.begin_part(f.name, f.file_name, "");
    EXPECT_FALSE(accepted);
    EXPECT_EQ(form.error(), c.error);
  }
  upload_form only_type(1 << 20);
  ASSERT_TRUE(only_type.begin_part("type", "", ""));
  std::string type, package;
  EXPECT_FALSE(only_type.take_fields(type, package));
  EXPECT_EQ(only_type.error(), "form field \"data\" missing");
}

TEST(upload_form, stops_oversized_contents) {
  upload_form form(100);
  ASSERT_TRUE(form.begin_part("type", "", ""));
  EXPECT_FALSE(form.add_content("screenshotscreenshot", 20));
  EXPECT_EQ(form.error(), "field \"type\" too long");

  upload_form small(100);
  ASSERT_TRUE(small.begin_part("type", "", ""));
  ASSERT_TRUE(small.begin_part("data", "package.zip", ""));
  std::string chunk(60, 'x');
  EXPECT_TRUE(small.add_content(chunk.data(), chunk.size()));
  EXPECT_FALSE(small.add_content(chunk.data(), chunk.size()));
  EXPECT_EQ(small.error(), "form fields larger than the upload limit");
}
