// Reading the corvane command's arguments, in process.
#include <gtest/gtest.h>

#include "uCommandLine.h"
#include "uCommands.h"

namespace corvane::cli {
namespace {

TEST(command_line, takes_options_anywhere_before_a_double_dash) {
  TCommandRequest request;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({u"set", u"f.yaml", u"--dry-run", u"$.a", u"-5", u"--max-size=99999999999", u"--",
                                u"$.b", u"--x"},
                               request, error))
      << error;
  EXPECT_EQ(request.Command, TCommand::Set);
  EXPECT_EQ(request.File, u"f.yaml");
  EXPECT_TRUE(request.DryRun);
  EXPECT_EQ(request.MaxSize, 2147483647);  // no file is larger
  ASSERT_EQ(request.Edits.size(), 2u);
  EXPECT_EQ(request.Edits[1].first, u"$.b");
  EXPECT_EQ(request.Edits[1].second, u"--x");

  ASSERT_TRUE(ParseCommandLine({u"check", u"--max-size", u"10", u"f.toml"}, request, error));
  EXPECT_EQ(request.MaxSize, 10);
  ASSERT_TRUE(ParseCommandLine({u"nonsense", u"-h"}, request, error));
  EXPECT_EQ(request.Command, TCommand::Help);
}

TEST(command_line, names_what_is_wrong) {
  struct TCase { std::vector<std::u16string> Args; const char* Error; };
  for (const TCase& c : {
           TCase{{}, "no command given"},
           TCase{{u"sett", u"f"}, "unknown command \"sett\""},
           TCase{{u"set", u"f", u"$.a"}, "usage: corvane set FILE PATH VALUE [PATH VALUE ...]"},
           TCase{{u"rename", u"f", u"$.a", u"b", u"$.c", u"d"}, "usage: corvane rename FILE PATH NEWKEY"},
           TCase{{u"paths", u"--dry-run", u"f"}, "--dry-run goes with set and rename only"},
           TCase{{u"check", u"f", u"--max-size", u"0"}, "--max-size needs a positive number of bytes, not \"0\""},
           TCase{{u"check", u"f", u"--quiet"}, "unknown option --quiet"},
       }) {
    TCommandRequest request;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(c.Args, request, error));
    EXPECT_EQ(error, c.Error);
  }
}

TEST(command_output, keeps_every_value_on_its_line) {
  EXPECT_EQ(EscapeOnOneLine("a\\b\tc\r\nd"), "a\\\\b\\tc\\r\\nd");
}

}  // namespace
}  // namespace corvane::cli
