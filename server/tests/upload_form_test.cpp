// The client's body layout, written out by hand, and the form collector's view of it.
#include <gtest/gtest.h>

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

TEST(upload_form, computes_the_client_layout_of_what_arrived) {
  upload_form form(1 << 20);
  ASSERT_TRUE(form.begin_part("type", "", ""));
  ASSERT_TRUE(form.add_content("screen", 6));
  ASSERT_TRUE(form.add_content("shot", 4));
  ASSERT_TRUE(form.begin_part("data", "package.zip", "application/octet-stream"));
  std::string zip(1000, 'z');
  ASSERT_TRUE(form.add_content(zip.data(), zip.size()));
  EXPECT_EQ(form.client_layout_size("i-will-not-crash"), upload_body("screenshot", zip).size());

  std::string type, package;
  ASSERT_TRUE(form.take_fields(type, package));
  EXPECT_EQ(type, "screenshot");
  EXPECT_EQ(package, zip);
}

TEST(upload_form, a_part_of_another_content_type_is_not_the_client_layout) {
  upload_form form(1 << 20);
  ASSERT_TRUE(form.begin_part("type", "", ""));
  ASSERT_TRUE(form.begin_part("data", "package.zip", "application/zip"));
  EXPECT_EQ(form.client_layout_size("i-will-not-crash"), 0u);
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
