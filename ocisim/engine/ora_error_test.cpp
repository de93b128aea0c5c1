#include "engine/ora_error.h"

#include <gtest/gtest.h>

namespace ocisim {
namespace {

TEST(OraErrorTest, FormatsCodeAndFillsPlaceholders) {
  OraError missing(942);
  EXPECT_EQ(missing.code(), 942);
  EXPECT_STREQ(missing.what(), "ORA-00942: table or view does not exist");
  OraError ident(904, {"\"FOO\""});
  EXPECT_STREQ(ident.what(), "ORA-00904: \"FOO\": invalid identifier");
  EXPECT_EQ(ident.text(), "\"FOO\": invalid identifier");
}

TEST(OraErrorTest, ApplicationErrorsTakeTheirText) {
  OraError app(20000, {"Unexpected error on T"});
  EXPECT_STREQ(app.what(), "ORA-20000: Unexpected error on T");
  EXPECT_EQ(OraError::withText(3113, "custom").text(), "custom");
}

}  // namespace
}  // namespace ocisim
